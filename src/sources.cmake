# Files that live directly in src/ (the application shell, factory, prefixes and contact models).
target_sources(talkvane_core PRIVATE
    countrydesc.cpp
    countrydesclistwidgetitem.cpp
    homeurls.cpp
    objfactory.cpp
    phonenumbervalidator.cpp
    prefixprovider.cpp
    serviceurls.cpp
    ${CMAKE_SOURCE_DIR}/data/data.qrc
    ${CMAKE_SOURCE_DIR}/gfx/flags.qrc
    ${CMAKE_SOURCE_DIR}/urls/urls.qrc
    ${CMAKE_SOURCE_DIR}/gfx/gfx.qrc
    ${CMAKE_SOURCE_DIR}/sounds/sounds.qrc
    ${CMAKE_SOURCE_DIR}/fonts/fonts.qrc
    ${CMAKE_SOURCE_DIR}/css/css.qrc
)
