# cmake -DDIR=<folder> -P Sha256Sums.cmake writes <folder>/SHA256SUMS.txt:
# one line "<sha256>  <name>" per .exe of the folder, sorted by name, with
# CR LF line ends so that Windows tools show it as it is.
file(GLOB names RELATIVE "${DIR}" "${DIR}/*.exe")
list(SORT names)
set(text "")
foreach(name IN LISTS names)
  file(SHA256 "${DIR}/${name}" sum)
  string(APPEND text "${sum}  ${name}\r\n")
endforeach()
file(WRITE "${DIR}/SHA256SUMS.txt" "${text}")
