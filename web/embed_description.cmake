# Puts the description JSON (DESCRIPTION) and the window's markup (WINDOW)
# into the page's shell (SHELL) where it says %%DESCRIPTION%% and
# %%WINDOW%%, and writes the result to OUTPUT.
file(READ "${SHELL}" shell)
file(READ "${DESCRIPTION}" description)
file(READ "${WINDOW}" window)
string(REPLACE "%%DESCRIPTION%%" "${description}" shell "${shell}")
string(REPLACE "%%WINDOW%%" "${window}" shell "${shell}")
file(WRITE "${OUTPUT}" "${shell}")
