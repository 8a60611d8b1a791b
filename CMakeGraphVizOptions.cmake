# SPDX-License-Identifier: MIT
# What `cmake --graphviz` draws: the project's own libraries and programs, and how each
# uses the others; not the tests, nor what the system provides.
set(GRAPHVIZ_EXTERNAL_LIBS FALSE)
set(GRAPHVIZ_GENERATE_PER_TARGET FALSE)
set(GRAPHVIZ_GENERATE_DEPENDERS FALSE)
set(GRAPHVIZ_IGNORE_TARGETS "_tests$" "^quobrel-(screenshots|icons|bench)$" "^detection-accuracy$" "^fuzz_")
