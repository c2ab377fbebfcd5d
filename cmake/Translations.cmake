# The translation files and how lupdate reads the sources, shared by the update target (app/)
# and the completeness test (tests/app/). Japanese is the source language: only the other
# languages have a .ts file.
find_package(Qt6 REQUIRED COMPONENTS LinguistTools)

set(PULSAVO_TS_FILES ${PROJECT_SOURCE_DIR}/translations/pulsavo_en.ts)
# Every directory with user-visible strings; lupdate walks them, so new windows' files are
# picked up without listing them.
set(PULSAVO_TRANSLATED_DIRS app tools progress practice scenario classroom)
# No source locations: they would change the .ts on every edit and make merges conflict.
set(PULSAVO_LUPDATE_OPTIONS -locations none -no-obsolete -extensions cpp,h
    -source-language ja_JP)
