# embed_files(OUT name file [name file ...]) writes OUT, a C++ file that defines
# `extern const unsigned char name[]` and `extern const unsigned name##Size`
# for each file. OUT is written again whenever one of the files changes.
function(embed_files out)
    set(text "// Generated from the files in assets/; do not edit.\n")
    set(args ${ARGN})
    while(args)
        list(POP_FRONT args name file)
        set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${file})
        file(READ ${file} hex HEX)
        string(LENGTH "${hex}" length)
        math(EXPR size "${length} / 2")
        string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
        string(REGEX REPLACE "((0x..,){16})" "\\1\n" bytes "${bytes}")
        string(APPEND text "extern const unsigned char ${name}[] = {\n${bytes}\n};\n")
        string(APPEND text "extern const unsigned ${name}Size = ${size};\n")
    endwhile()
    file(CONFIGURE OUTPUT ${out} CONTENT "${text}" @ONLY)
endfunction()
