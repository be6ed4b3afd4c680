# SPDX-License-Identifier: GPL-3.0-or-later
#
# The printable cards page, web/cards/index.html in the build folder, written at build
# time from the same card table the claim check reads. Publish the build's web/ folder
# at the web root of BINGO_WEB_HOST (the build setting): "Print Cards" opens
# https://<host>/cards/.
#
#   BINGO_WEB_DIR     the folder to publish: web/ in the build folder
#   BINGO_CARDS_PAGE  the page itself

add_library(bingo_cardspage STATIC
    ${CMAKE_CURRENT_LIST_DIR}/cardspage.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ticketlayout.cpp
)
target_link_libraries(bingo_cardspage PUBLIC bingo_logic)

add_executable(make_cards_page ${CMAKE_CURRENT_LIST_DIR}/make_cards_page.cpp)
target_link_libraries(make_cards_page PRIVATE bingo_cardspage)

set(BINGO_WEB_DIR ${CMAKE_BINARY_DIR}/web)
set(BINGO_CARDS_PAGE ${BINGO_WEB_DIR}/cards/index.html)
add_custom_command(
    OUTPUT ${BINGO_CARDS_PAGE}
    COMMAND make_cards_page ${BINGO_CARDS_PAGE}
    DEPENDS make_cards_page
    COMMENT "Writing the cards page"
    VERBATIM)
add_custom_target(cards_page ALL DEPENDS ${BINGO_CARDS_PAGE})
