# The product's name and release, for every build of it (the programs, the
# fuzz target): the one place they are written.
set(PARLO_NAME Parlo)
set(PARLO_VERSION 1.9.0)
