# Puts the description JSON (DESCRIPTION) into the page's shell (SHELL) where
# it says %%DESCRIPTION%%, and writes the result to OUTPUT.
file(READ "${SHELL}" shell)
file(READ "${DESCRIPTION}" description)
string(REPLACE "%%DESCRIPTION%%" "${description}" shell "${shell}")
file(WRITE "${OUTPUT}" "${shell}")
