# SQLite's CSV virtual-table extension is compiled into libtesk.so from SQLite's own
# source, which is unpacked at build time and never kept in the repository.
set(TESK_SQLITE_SOURCE_DIR ${PROJECT_SOURCE_DIR}/third_party_src/sqlite3 CACHE PATH
    "Unpacked SQLite source tree that provides ext/misc/csv.c")
set(TESK_SQLITE_CSV_SOURCE ${TESK_SQLITE_SOURCE_DIR}/ext/misc/csv.c)
if(NOT EXISTS ${TESK_SQLITE_CSV_SOURCE})
  message(FATAL_ERROR "SQLite's CSV extension source is missing: ${TESK_SQLITE_CSV_SOURCE}\n"
                      "Run scripts/install-deps.sh (its step scripts/install-deps.d/sqlite-csv-source.sh "
                      "unpacks Debian's sqlite3 source package into third_party_src/sqlite3), "
                      "or set TESK_SQLITE_SOURCE_DIR to an unpacked SQLite source tree.")
endif()

find_path(TESK_SQLITE3EXT_INCLUDE_DIR sqlite3ext.h)
if(NOT TESK_SQLITE3EXT_INCLUDE_DIR)
  message(FATAL_ERROR "sqlite3ext.h not found: install libsqlite3-dev (scripts/install-deps.sh does).")
endif()

file(STRINGS ${TESK_SQLITE_SOURCE_DIR}/VERSION TESK_SQLITE_VERSION LIMIT_COUNT 1)
message(STATUS "SQLite CSV extension from SQLite ${TESK_SQLITE_VERSION} (${TESK_SQLITE_SOURCE_DIR})")

# The entry point needs default visibility to reach the dynamic symbol table; the
# version script still hides everything else the file defines (such as sqlite3_api).
# The file is SQLite's, so its warnings are not ours to fix.
target_sources(tesk PRIVATE ${TESK_SQLITE_CSV_SOURCE})
set_source_files_properties(${TESK_SQLITE_CSV_SOURCE} PROPERTIES
    INCLUDE_DIRECTORIES ${TESK_SQLITE3EXT_INCLUDE_DIR}
    COMPILE_OPTIONS "-fvisibility=default;-w")
