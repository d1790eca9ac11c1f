# Tests, benchmarks and tools link the plug-in's shared-code library instead of
# compiling the JUCE modules again: they borrow its include paths and definitions.
function(snapwell_use_shared_code target)
    target_link_libraries(${target} PRIVATE Snapwell SnapwellArt)
    target_include_directories(${target} PRIVATE
        $<TARGET_PROPERTY:Snapwell,INCLUDE_DIRECTORIES>)
    target_compile_definitions(${target} PRIVATE
        $<TARGET_PROPERTY:Snapwell,COMPILE_DEFINITIONS>)
    target_compile_features(${target} PRIVATE cxx_std_17)
endfunction()

# A small program that runs against the plug-in's code (previews, probes).
function(snapwell_add_tool name)
    add_executable(${name} ${ARGN})
    snapwell_use_shared_code(${name})
endfunction()
