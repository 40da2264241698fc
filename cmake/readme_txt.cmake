# cmake -DIN=README.md -DOUT=README.txt -P readme_txt.cmake: the README as a
# Windows text file (CRLF line ends, UTF-8 with its byte-order mark, which
# Notepad needs on older Windows to read the Polish letters as UTF-8).
file(READ "${IN}" text)
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
string(ASCII 239 187 191 bom)
file(WRITE "${OUT}" "${bom}${text}")
