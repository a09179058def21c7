# Turns the module's script in the linked page (PAGE) into one that waits
# unrun, as the page's own script does: the shell marks it with
# <!--zelvane-module--> just before its <script> tag.
#
# The WebAssembly module itself, which emscripten embeds in that script as a
# base64 data: address, moves into an element of its own just before it
# (<script type="application/octet-stream" id="zelvane-wasm">), gzip-compressed
# and again in base64, and the address is left empty. The page's loader
# unpacks and compiles the module from there, before the scripts run, and
# hands it to the module's script (Module.instantiateWasm), which then never
# fetches its address: a fetch of a data: address this size takes the
# browser tens of milliseconds. Compressed, the module is less than half as
# much text for the browser to read before it can draw the window.

# Where WHAT first stands in TEXT, into RESULT; the build fails with WHY
# when it is not there, since emscripten's output is then not what this
# step knows.
function(find_required text what why result)
    string(FIND "${text}" "${what}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "${PAGE}: ${why}")
    endif()
    set(${result} ${at} PARENT_SCOPE)
endfunction()

file(READ "${PAGE}" page)
set(marked "<!--zelvane-module--><script>")
find_required("${page}" "${marked}" "the module's script is not where the shell marks it" at)
string(SUBSTRING "${page}" 0 ${at} before)
string(LENGTH "${marked}" length)
math(EXPR at "${at} + ${length}")
string(SUBSTRING "${page}" ${at} -1 script)

# The module's address, not the bare prefix the script also holds: the
# module's base64 text starts with that of its magic number, "\0asm".
set(address "data:application/octet-stream;base64,")
find_required("${script}" "${address}AGFzbQ" "the module's script embeds no module" start)
string(LENGTH "${address}" length)
math(EXPR start "${start} + ${length}")
string(SUBSTRING "${script}" ${start} -1 rest)
find_required("${rest}" "\"" "the embedded module has no end" end)
string(SUBSTRING "${rest}" 0 ${end} module)
string(SUBSTRING "${rest}" ${end} -1 rest)
string(SUBSTRING "${script}" 0 ${start} script)
file(WRITE "${PAGE}.module" "${module}")
execute_process(COMMAND base64 -d "${PAGE}.module" COMMAND gzip -9 -n COMMAND base64 -w0
    OUTPUT_VARIABLE packed COMMAND_ERROR_IS_FATAL ANY)
file(REMOVE "${PAGE}.module")
file(WRITE "${PAGE}"
    "${before}<script type=\"application/octet-stream\" id=\"zelvane-wasm\">${packed}</script>\n"
    "<script type=\"text/x-zelvane-later\">${script}${rest}")
