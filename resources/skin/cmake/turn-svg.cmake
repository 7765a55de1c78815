# cmake -DSOURCE=in.svg -DOUTPUT=out.svg -DANGLE=45 -P turn-svg.cmake
# Writes a copy of SOURCE whose group with id "turn" is turned clockwise by
# ANGLE degrees about its centre, so that several pictures share one drawing.
file(READ "${SOURCE}" svg)
string(REGEX MATCH "<g id=\"turn\" transform=\"rotate\\(0 ([0-9.]+) ([0-9.]+)\\)\">" turn "${svg}")
if(NOT turn)
    message(FATAL_ERROR "${SOURCE} has no <g id=\"turn\" transform=\"rotate(0 cx cy)\"> group")
endif()
set(centre "${CMAKE_MATCH_1} ${CMAKE_MATCH_2}")
string(REPLACE "${turn}" "<g id=\"turn\" transform=\"rotate(${ANGLE} ${centre})\">" svg "${svg}")
file(WRITE "${OUTPUT}.tmp" "${svg}")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
