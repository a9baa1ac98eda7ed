// The disc probe: finds a file on the optical drives and makes that drive the source of the copy.
#pragma once

// Looks for name (relative to a drive root, for example "varnis_disc2.ico") on every optical
// drive in drive-letter order and opens it for reading. When found, sourceRoot becomes that
// drive's root ("Q:\\") and the answer is true; otherwise false and sourceRoot is unchanged.
// Hard disks and network drives are never looked at.
bool probeDiscFile(const char* name);
