# SPDX-License-Identifier: GPL-3.0-or-later
# Creates an empty data file from the schema with the sqlite3 tool.
#   cmake -DSQLITE3=<tool> -DSCHEMA=<schema.sql> -DOUTPUT=<dati.mdb> [-DREPLACE=ON] -P CreateDataFile.cmake
# Without REPLACE an existing file is left alone: it holds the user's data.
if(EXISTS "${OUTPUT}" AND NOT REPLACE)
    return()
endif()

get_filename_component(dir "${OUTPUT}" DIRECTORY)
file(MAKE_DIRECTORY "${dir}")
# Built aside and renamed into place, so no half-made file is ever left under the real name.
set(tmp "${OUTPUT}.new")
file(REMOVE "${tmp}" "${tmp}-journal")
execute_process(COMMAND "${SQLITE3}" -bail "${tmp}"
    INPUT_FILE "${SCHEMA}"
    RESULT_VARIABLE rc
    ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
    file(REMOVE "${tmp}")
    message(FATAL_ERROR "Cannot create ${OUTPUT} from ${SCHEMA}: ${err}")
endif()

if(REPLACE)
    file(RENAME "${tmp}" "${OUTPUT}")
else()
    file(RENAME "${tmp}" "${OUTPUT}" NO_REPLACE RESULT moved)
    file(REMOVE "${tmp}")
endif()
message(STATUS "Created ${OUTPUT}")
