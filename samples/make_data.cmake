# Deterministic stand-in content for the sample discs' data files: the same bytes on every build,
# different for every seed, so a copy that mixes up chunks or files cannot go unnoticed.
#   make_sample_data(<file> <size in bytes> <seed>)
function(make_sample_data file size seed)
  string(RANDOM LENGTH ${size} ALPHABET "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
         RANDOM_SEED ${seed} content)
  file(WRITE "${file}" "${content}")
endfunction()
