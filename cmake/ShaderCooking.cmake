# Cooks HLSL shaders for the GPU layer: <dir>/<name>.hlsl becomes <output dir>/<name>.cso, the
# name keeping its folders ("Shaders/PostprocessVS"). A name ending in "VS" is a vertex shader,
# one ending in "PS" a pixel shader. A shader that does not compile fails the build.

find_package(Python3 REQUIRED COMPONENTS Interpreter)
find_program(VRA_GLSLANG glslangValidator REQUIRED)
find_program(VRA_SPIRV_CROSS spirv-cross REQUIRED)
set(VRA_COOK_SHADER ${CMAKE_CURRENT_LIST_DIR}/cook_shader.py)

# vra_cook_shaders(<target> <source dir> <output dir>)
function(vra_cook_shaders target source_dir output_dir)
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${source_dir}/*.hlsl)
    # Shared include files: a change to one recooks every shader of the folder.
    file(GLOB_RECURSE includes CONFIGURE_DEPENDS ${source_dir}/*.hlsli)
    set(outputs "")
    foreach(source IN LISTS sources)
        file(RELATIVE_PATH relative ${source_dir} ${source})
        string(REGEX REPLACE "\\.hlsl$" "" name ${relative})
        if(name MATCHES "VS$")
            set(stage vertex)
        elseif(name MATCHES "PS$")
            set(stage pixel)
        else()
            message(FATAL_ERROR "Shader ${relative}: the name must end in VS or PS")
        endif()
        set(output ${output_dir}/${name}.cso)
        add_custom_command(OUTPUT ${output}
            COMMAND ${Python3_EXECUTABLE} ${VRA_COOK_SHADER} ${VRA_GLSLANG} ${VRA_SPIRV_CROSS} ${source} ${output} ${stage}
            DEPENDS ${source} ${includes} ${VRA_COOK_SHADER}
            COMMENT "Cooking shader ${name}"
            VERBATIM)
        list(APPEND outputs ${output})
    endforeach()
    add_custom_target(${target} ALL DEPENDS ${outputs})
endfunction()
