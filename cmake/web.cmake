# The WebAssembly build (emscripten): referee.js and referee.wasm, one module that both the web
# page and node load. createReferee(options) makes an instance; its options carry the console's
# writeOutput, writeError and readInput (console/web/web_console.cpp) and the locale in ENV. The host
# then runs the program with ccall('main', ..., {async: true}), whose promise gives the exit
# status once the last read has been waited for (a plain start would report main's return at the
# first wait).
set_target_properties(referee PROPERTIES SUFFIX .js)
target_link_options(referee PRIVATE
  -sASYNCIFY # a read waits for the page's next line with the request loop's stack put aside
  -sMODULARIZE -sEXPORT_NAME=createReferee # a new instance for every game
  -sINVOKE_RUN=0 -sEXPORTED_FUNCTIONS=_main,_malloc -sEXPORTED_RUNTIME_METHODS=ENV,ccall
  -sENVIRONMENT=web,node
  -sINITIAL_MEMORY=16MB)
