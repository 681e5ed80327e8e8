# Writes a C++ source that holds the page's files as byte arrays, so the
# program serves them without reading anything from disk:
#   cmake -DINPUT_DIR=dir -DFILES="a.html;b.js" -DOUTPUT=WebAssets.cpp -P EmbedFiles.cmake
set(code "// Made from ${INPUT_DIR} by cmake/EmbedFiles.cmake: edit those files instead.\n")
string(APPEND code "#include \"serve/WebAssets.h\"\n\nnamespace tarvik {\nnamespace {\n\n")
set(table "")
set(index 0)
string(REPLACE "," ";" FILES "${FILES}")
foreach(name IN LISTS FILES)
    file(READ "${INPUT_DIR}/${name}" hex HEX)
    string(LENGTH "${hex}" digits)
    math(EXPR size "${digits} / 2")
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
    string(APPEND code "constexpr char file${index}[] = {${bytes}'\\0'};\n")
    string(APPEND table "    {\"${name}\", {file${index}, ${size}}},\n")
    math(EXPR index "${index} + 1")
endforeach()
string(APPEND code "\nconstexpr WebAsset assets[] = {\n${table}};\n\n} // namespace\n\n")
string(APPEND code "const WebAsset* FindWebAsset(std::string_view name)\n{\n"
                   "    for (const WebAsset& asset : assets) {\n"
                   "        if (asset.name == name)\n            return &asset;\n    }\n"
                   "    return nullptr;\n}\n\n} // namespace tarvik\n")
file(WRITE "${OUTPUT}" "${code}")
