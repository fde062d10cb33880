# cmake -DINPUT=file -DOUTPUT=file.cpp -DNAME=constant -P EmbedText.cmake
# Writes a C++ source that defines kestrom::NAME as the whole text of INPUT,
# for the programs that write that text into their output.
file(READ "${INPUT}" text)
set(delimiter "kestrom_text")
string(FIND "${text}" ")${delimiter}\"" clash)
if(NOT clash EQUAL -1)
  message(FATAL_ERROR "${INPUT} holds )${delimiter}\", which ends the embedded text")
endif()
get_filename_component(source "${INPUT}" NAME)
file(WRITE "${OUTPUT}"
"// ${source} as text, written at build time.
namespace kestrom {
extern const char* const ${NAME};
const char* const ${NAME} = R\"${delimiter}(${text})${delimiter}\";
} // namespace kestrom
")
