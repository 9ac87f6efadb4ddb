# The form's two stored pictures (resources/*.dib.dat) as generated C++
# sources defining kGlyphTemplateData and kCloudData, for the native program
# and the web module alike. Usage: fuifje_stored_pictures(sources_variable)
function(fuifje_stored_pictures out)
    get_filename_component(root ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/.. ABSOLUTE)
    set(generated)
    foreach(resource glyph_template:kGlyphTemplateData cloud:kCloudData)
        string(REPLACE ":" ";" parts ${resource})
        list(GET parts 0 name)
        list(GET parts 1 symbol)
        set(input ${root}/resources/${name}.dib.dat)
        set(output ${CMAKE_CURRENT_BINARY_DIR}/${name}_resource.cpp)
        add_custom_command(OUTPUT ${output}
            COMMAND ${CMAKE_COMMAND} -DINPUT=${input} -DOUTPUT=${output} -DSYMBOL=${symbol}
                    -P ${root}/cmake/embed_resource.cmake
            DEPENDS ${input} ${root}/cmake/embed_resource.cmake)
        list(APPEND generated ${output})
    endforeach()
    set(${out} ${generated} PARENT_SCOPE)
endfunction()
