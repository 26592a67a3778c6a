# Writes SITE/sw.js from TEMPLATE: the list of every other file of the site folder, and a version
# that is a hash of their names and contents and of the template, so that any change of any file
# is a new version.
#
#   cmake -DSITE=<site folder> -DTEMPLATE=<sw.js.in> -P Stamp.cmake
get_filename_component(SITE ${SITE} ABSOLUTE)
file(GLOB files LIST_DIRECTORIES false RELATIVE ${SITE} ${SITE}/*)
list(REMOVE_ITEM files sw.js)
list(FILTER files EXCLUDE REGEX "^\\.")
list(SORT files)
file(SHA256 ${TEMPLATE} digests)
set(DROMMEL_SITE_FILES "'./'")
foreach(file IN LISTS files)
  file(SHA256 ${SITE}/${file} digest)
  string(APPEND digests "${file} ${digest}\n")
  string(APPEND DROMMEL_SITE_FILES ", '${file}'")
endforeach()
string(SHA256 version "${digests}")
string(SUBSTRING ${version} 0 16 DROMMEL_SITE_VERSION)
configure_file(${TEMPLATE} ${SITE}/sw.js @ONLY)
message(STATUS "Site version ${DROMMEL_SITE_VERSION}: ${SITE}")
