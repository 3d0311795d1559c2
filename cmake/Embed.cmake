# voltaris_embed_text(OUT_CPP INPUT SYMBOL): turns a text file into a C++ source that
# defines `extern const char SYMBOL[]` (null-terminated) and `SYMBOL_size`.
function(voltaris_embed_text out_cpp input symbol)
  add_custom_command(
    OUTPUT ${out_cpp}
    COMMAND ${CMAKE_COMMAND} -DINPUT=${input} -DOUTPUT=${out_cpp} -DSYMBOL=${symbol}
            -P ${CMAKE_SOURCE_DIR}/cmake/EmbedScript.cmake
    DEPENDS ${input} ${CMAKE_SOURCE_DIR}/cmake/EmbedScript.cmake
    COMMENT "Embedding ${input}"
    VERBATIM)
endfunction()
