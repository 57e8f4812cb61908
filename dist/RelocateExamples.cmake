# Runs at install time. The example sets are generated in the build tree and name it: the sets'
# absolute paths and the drawings' stamps. Installed, they name the folder they now lie in, and the
# demo script opens them from there, whatever folder it is run from. Relative paths in the sets
# keep working wherever a user copies the project.
#   BUILT: the build tree's examples folder; DATADIR: the data folder under the prefix (or absolute);
#   DEMO_IN: the demo script with @EXAMPLES@ where the examples folder goes.
if(IS_ABSOLUTE "${DATADIR}")
  set(final "${DATADIR}/examples")
else()
  set(final "${CMAKE_INSTALL_PREFIX}/${DATADIR}/examples")
endif()
set(staged "$ENV{DESTDIR}${final}")
file(GLOB_RECURSE files "${staged}/*.dst" "${staged}/*.dwg" "${staged}/*.dwt")
foreach(f IN LISTS files)
  file(READ "${f}" text)
  string(REPLACE "${BUILT}" "${final}" text "${text}")
  file(WRITE "${f}" "${text}")
endforeach()
file(READ "${DEMO_IN}" demo)
string(REPLACE "@EXAMPLES@" "${final}" demo "${demo}")
file(WRITE "${staged}/demo.scr" "${demo}")
