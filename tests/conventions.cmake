# Languages and desktop conventions: the toolkit's texts in the language in
# use, translated captions, access keys and marks of the menus (languages);
# addresses without a browser, the toolkit's configuration file, check boxes
# that follow their state however it changes (desktop).
korvanta_qtest(test_languages SOURCES test_languages.cpp)
korvanta_qtest(test_desktop SOURCES test_desktop.cpp)
