# tindra_saved_bytes FOLDER: one SHA-256 per file the window saves from the pictures of FOLDER, for
# comparing two builds byte for byte (scripts/compare-saved-bytes.sh). Not a test of its own.
add_executable(tindra_saved_bytes ${CMAKE_CURRENT_LIST_DIR}/SavedBytes.cpp)
set_target_properties(tindra_saved_bytes PROPERTIES AUTOMOC ON)
target_link_libraries(tindra_saved_bytes PRIVATE tindra_app Qt6::Widgets)
target_compile_definitions(tindra_saved_bytes PRIVATE TINDRA_IMAGES_IML="${TINDRA_IMAGES_IML}")
add_dependencies(tindra_saved_bytes tindra_images)
