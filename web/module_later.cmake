# Turns the module's script in the linked page (PAGE) into one that waits
# unrun, as the page's own script does: the shell marks it with
# <!--zelvane-module--> just before its <script> tag.
#
# The WebAssembly module itself, which emscripten embeds in that script as a
# base64 data: address, moves into an element of its own just before it
# (<script type="application/octet-stream" id="zelvane-wasm">), and the
# address is left empty. The page's loader decodes and compiles the module
# from there, before the scripts run, and hands it to the module's script
# (Module.instantiateWasm), which then never fetches its address: a fetch of
# a data: address this size takes the browser tens of milliseconds.
file(READ "${PAGE}" page)
set(marked "<!--zelvane-module--><script>")
string(FIND "${page}" "${marked}" at)
if(at EQUAL -1)
    message(FATAL_ERROR "${PAGE}: the module's script is not where the shell marks it")
endif()
# Everything before the marker stays as it is.
string(SUBSTRING "${page}" 0 ${at} before)
string(SUBSTRING "${page}" ${at} -1 script)
# The module's address, not the bare prefix the script also holds: the
# module's base64 text starts with that of its magic number, "\0asm".
set(address "data:application/octet-stream;base64,")
string(FIND "${script}" "${address}AGFzbQ" start)
if(start EQUAL -1)
    message(FATAL_ERROR "${PAGE}: the module's script embeds no module")
endif()
string(LENGTH "${address}" length)
math(EXPR start "${start} + ${length}")
string(SUBSTRING "${script}" ${start} -1 rest)
string(FIND "${rest}" "\"" end)
if(end EQUAL -1)
    message(FATAL_ERROR "${PAGE}: the embedded module has no end")
endif()
string(SUBSTRING "${rest}" 0 ${end} module)
string(SUBSTRING "${rest}" ${end} -1 rest)
string(SUBSTRING "${script}" 0 ${start} script)
string(LENGTH "${marked}" length)
string(SUBSTRING "${script}" ${length} -1 script)
file(WRITE "${PAGE}"
    "${before}<script type=\"application/octet-stream\" id=\"zelvane-wasm\">${module}</script>\n"
    "<script type=\"text/x-zelvane-later\">${script}${rest}")
