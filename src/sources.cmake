# Files that live directly in src/ (the application shell, factory, prefixes and contact models).
target_sources(talkvane_core PRIVATE
    contactgroup.cpp
    contactitemdelegate.cpp
    contactmanager.cpp
    contactslistmodel.cpp
    contactslistview.cpp
    contactsmodels.cpp
    contactstreemodel.cpp
    contactstreesortfilterproxymodel.cpp
    contactstreeview.cpp
    countrydesc.cpp
    countrydesclistwidgetitem.cpp
    groupaddeditdeletetask.cpp
    homeurls.cpp
    objfactory.cpp
    phonenumbervalidator.cpp
    prefixprovider.cpp
    samefields.cpp
    serviceurls.cpp
    ${CMAKE_SOURCE_DIR}/data/data.qrc
    ${CMAKE_SOURCE_DIR}/gfx/flags.qrc
    ${CMAKE_SOURCE_DIR}/urls/urls.qrc
    ${CMAKE_SOURCE_DIR}/gfx/gfx.qrc
    ${CMAKE_SOURCE_DIR}/sounds/sounds.qrc
    ${CMAKE_SOURCE_DIR}/fonts/fonts.qrc
    ${CMAKE_SOURCE_DIR}/css/css.qrc
)
