# cmake -DIN=a.md|b.txt -DOUT=x.txt -P windows_text.cmake: texts joined (one
# blank line between them) as one Windows text file: CRLF line ends, UTF-8
# with its byte-order mark, which Notepad needs on older Windows to read the
# Polish letters as UTF-8.
string(REPLACE "|" ";" inputs "${IN}")
set(text "")
foreach(input IN LISTS inputs)
  file(READ "${input}" part)
  if(NOT text STREQUAL "")
    string(APPEND text "\n")
  endif()
  string(APPEND text "${part}")
endforeach()
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
string(ASCII 239 187 191 bom)
file(WRITE "${OUT}" "${bom}${text}")
