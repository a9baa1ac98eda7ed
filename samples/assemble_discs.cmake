# Lays out the two sample install discs from the built pieces, then makes every file read-only as
# on a real disc. Run by the sample_discs target:
#   cmake -DDISCS=<discs folder> -DGEN=<generated pieces> -DPROGRAMS=<title programs>
#         -DMENU_EXE=<vgan1_menu.exe> [-DSTRIP=<strip>] -P assemble_discs.cmake
# Programs go onto the discs fully stripped (when STRIP is given: no debug information, no symbol
# table), as a release ships them; that also keeps the lists' declared sizes independent of the
# build type.
include("${CMAKE_CURRENT_LIST_DIR}/make_data.cmake")

# <path on the discs>|<where it comes from>: a file, or DATA:<bytes>:<seed> for generated content.
# The lists' declared sizes depend on these sizes: listSizeMb counts 1,000,000-byte units of the
# install-list entries, a title's size 1,048,576-byte units of its files (lint checks both).
set(layout
  # Disc 1: the menu and its archive, the product data, four titles.
  "disc1/vgan1_menu.exe|${MENU_EXE}"
  "disc1/instdata.arc|${GEN}/instdata.arc"
  "disc1/varnis_disc1.ico|${GEN}/varnis_disc1.ico"
  "disc1/data/script.arc|DATA:300000:101"
  "disc1/data/pict.arc|DATA:600000:102"
  "disc1/data/bgm.arc|DATA:800000:103"
  "disc1/data/se.arc|DATA:250000:104"
  "disc1/data/voice.arc|DATA:900000:105"
  "disc1/data/voice2.arc|DATA:400000:106"
  "disc1/ソフト資料/表紙.bmp|${GEN}/inst1.bmp"
  "disc1/lantern/lantern.exe|${PROGRAMS}/lantern.exe"
  "disc1/lantern/lantern.dat|DATA:1200000:201"
  "disc1/lantern/ソース一覧.txt|DATA:150000:202"
  "disc1/lantern/表紙.dat|DATA:300000:203"
  "disc1/brindle/brindle.exe|${PROGRAMS}/brindle.exe"
  "disc1/brindle/brindle.dat|DATA:700000:211"
  "disc1/brindle/brindle_bgm.dat|DATA:200000:212"
  "disc1/harbor/harbor.exe|${PROGRAMS}/harbor.exe"
  "disc1/harbor/harbormenu.dat|DATA:960000:221"
  "disc1/harbor/harbor1.arc|DATA:500000:222"
  "disc1/harbor/harbor2.arc|DATA:550000:223"
  "disc1/rainmere/rainmere.exe|${PROGRAMS}/rainmere.exe"
  "disc1/rainmere/rainmere.dat|DATA:900000:231"
  # Disc 2: the rest of the product data, Mistvale, the extras, DirectX and the readme.
  "disc2/varnis_disc2.ico|${GEN}/varnis_disc2.ico"
  "disc2/readme.txt|${GEN}/readme.txt"
  "disc2/directx81/redist/directX81/dxsetup.exe|${PROGRAMS}/dxsetup.exe"
  "disc2/data/movie.arc|DATA:600000:107"
  "disc2/ソフト資料/ソフト紹介.txt|DATA:229946:108"
  "disc2/lantern/lantern_omake.dat|DATA:310000:204"
  "disc2/harborsp/sp.arc|DATA:800000:224"
  "disc2/harborsp/特典表.dat|DATA:200000:225"
  "disc2/mistvale/mistvale.exe|${PROGRAMS}/mistvale.exe"
  "disc2/mistvale/mistvale.dat|DATA:700000:241"
  "disc2/mistvale/霧表.dat|DATA:200000:242"
)

# A new tree each time: nothing of an earlier layout survives. The old files are read-only, so
# their folders are made writable first.
foreach(disc disc1 disc2)
  if(EXISTS "${DISCS}/${disc}")
    file(CHMOD_RECURSE "${DISCS}/${disc}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
         DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                               WORLD_READ WORLD_EXECUTE)
    file(REMOVE_RECURSE "${DISCS}/${disc}")
  endif()
  file(MAKE_DIRECTORY "${DISCS}/${disc}")
endforeach()

set(read_only OWNER_READ GROUP_READ WORLD_READ)
foreach(item ${layout})
  string(FIND "${item}" "|" bar)
  string(SUBSTRING "${item}" 0 ${bar} target)
  math(EXPR from_start "${bar} + 1")
  string(SUBSTRING "${item}" ${from_start} -1 source)
  set(target "${DISCS}/${target}")
  get_filename_component(folder "${target}" DIRECTORY)
  file(MAKE_DIRECTORY "${folder}")
  if(source MATCHES "^DATA:([0-9]+):([0-9]+)$")
    make_sample_data("${target}" ${CMAKE_MATCH_1} ${CMAKE_MATCH_2})
  elseif(EXISTS "${source}" AND STRIP AND source MATCHES "\\.exe$")
    execute_process(COMMAND "${STRIP}" --strip-all -o "${target}" "${source}" RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
      message(FATAL_ERROR "sample discs: cannot strip ${source}")
    endif()
  elseif(EXISTS "${source}")
    execute_process(COMMAND "${CMAKE_COMMAND}" -E copy "${source}" "${target}" RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
      message(FATAL_ERROR "sample discs: cannot copy ${source}")
    endif()
  else()
    message(FATAL_ERROR "sample discs: ${source} is missing (for ${target})")
  endif()
  file(CHMOD "${target}" PERMISSIONS ${read_only})
endforeach()
