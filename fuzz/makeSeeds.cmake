# Packs the fuzz target's seed corpus with Allegro's dat tool: small datafiles shaped like the
# game's (14 objects, plain data at 4 and 8, small pictures elsewhere) in each layout dat writes,
# one nested datafile, and a copy of the real picData.dat.
# Run with cmake -P and DAT (the dat tool), PICTURES (the folder holding the game's pictures),
# PIC_DATA (the real datafile) and OUT (the seed folder).

set(work ${OUT}/work)
file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${work}/tree/inner)

# dat names an object after its file and replaces an object of the same name, so every object
# gets a file of its own.
set(objectFiles)
set(objectTypes)
foreach(index RANGE 13)
  if(index EQUAL 4 OR index EQUAL 8)
    file(WRITE ${work}/object${index}.txt "unused\n")
    list(APPEND objectFiles ${work}/object${index}.txt)
    list(APPEND objectTypes DATA)
  else()
    math(EXPR odd "${index} % 2")
    if(odd)
      set(picture cursor.bmp)
    else()
      set(picture shot.bmp)
    endif()
    configure_file(${PICTURES}/${picture} ${work}/object${index}.bmp COPYONLY)
    list(APPEND objectFiles ${work}/object${index}.bmp)
    list(APPEND objectTypes BMP)
  endif()
endforeach()

function(runDat)
  execute_process(COMMAND ${DAT} ${ARGN} RESULT_VARIABLE failed OUTPUT_QUIET)
  if(failed)
    message(FATAL_ERROR "dat ${ARGN} failed")
  endif()
endfunction()

# One seed of the game's shape; the arguments are dat's options for it. Each object is added by
# its own call because dat may reorder files added together.
function(packSeed name)
  foreach(index RANGE 13)
    list(GET objectFiles ${index} objectFile)
    list(GET objectTypes ${index} objectType)
    runDat(-n0 ${ARGN} -a -t ${objectType} ${OUT}/${name}.dat ${objectFile})
  endforeach()
endfunction()

packSeed(plain -s1 -c0 -bpp 24)
packSeed(compressedEach -s1 -c1 -bpp 24)
packSeed(compressedWhole -s1 -c2 -bpp 24)
packSeed(grabberProperties -s0 -c0 -bpp 24)
packSeed(depth8 -s2 -c0 -bpp 8)
packSeed(depth16 -s2 -c0 -bpp 16)
packSeed(depth32 -s2 -c0 -bpp 32)

configure_file(${PICTURES}/shot.bmp ${work}/tree/shot.bmp COPYONLY)
configure_file(${PICTURES}/cursor.bmp ${work}/tree/inner/cursor.bmp COPYONLY)
runDat(-r -s2 -c1 -bpp 24 -a -t BMP ${OUT}/nested.dat ${work}/tree)

configure_file(${PIC_DATA} ${OUT}/picData.dat COPYONLY)
file(REMOVE_RECURSE ${work})
