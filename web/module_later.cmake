# Turns the module's script in the linked page (PAGE) into one that waits
# unrun, as the page's own script does: the shell marks it with
# <!--zelvane-module--> just before its <script> tag.
file(READ "${PAGE}" page)
set(marked "<!--zelvane-module--><script>")
string(FIND "${page}" "${marked}" at)
if(at EQUAL -1)
    message(FATAL_ERROR "${PAGE}: the module's script is not where the shell marks it")
endif()
string(REPLACE "${marked}" "<script type=\"text/x-zelvane-later\">" page "${page}")
file(WRITE "${PAGE}" "${page}")
