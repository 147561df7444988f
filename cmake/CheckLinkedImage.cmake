# Run as the last step of linking each Windows program or module (cmake -P), with NM, OBJDUMP
# and IMAGE. A static link on this platform does not refuse every reference it cannot
# resolve: a weak one (the compiler emits them, for one, when it has proven that a virtual
# call can only reach a pure virtual function) quietly becomes address 0, and the program
# jumps there at run time. Such an image is refused here, and removed, so that the next
# build links it again:
#   - a symbol the image refers to and nothing in it defines;
#   - a direct call of the handler for pure virtual calls: no correct code calls it other
#     than through a virtual table.
foreach(variable NM OBJDUMP IMAGE)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "CheckLinkedImage: ${variable} is not set")
  endif()
endforeach()

# Symbols the linker provides weakly, which a program may lack.
set(allowed_missing __end__ ___end__)
# The runtime's hooks for transactional memory (_ITM_*, and the transaction-safe clones
# _ZGTt* of operator new and delete): weak references that the 32-bit startup code tests
# for null before use, and that nothing here defines.
set(allowed_missing_pattern "^_?_(ITM_|ZGTt)")

execute_process(COMMAND ${NM} ${IMAGE} OUTPUT_VARIABLE symbols RESULT_VARIABLE nm_result ERROR_VARIABLE nm_error)
if(NOT nm_result EQUAL 0)
  file(REMOVE ${IMAGE})
  message(FATAL_ERROR "CheckLinkedImage: cannot read the symbols of ${IMAGE}: ${nm_error}")
endif()
string(REPLACE "\n" ";" lines "${symbols}")
set(defined "")
set(undefined "")
foreach(line IN LISTS lines)
  if(line MATCHES "^ +U (.+)$")
    list(APPEND undefined "${CMAKE_MATCH_1}")
  elseif(line MATCHES "^[0-9a-fA-F]+ [A-Za-z] (.+)$")
    list(APPEND defined "${CMAKE_MATCH_1}")
  endif()
endforeach()
list(REMOVE_DUPLICATES undefined)
set(missing "")
foreach(symbol IN LISTS undefined)
  list(FIND defined "${symbol}" at)
  list(FIND allowed_missing "${symbol}" allowed)
  if(at EQUAL -1 AND allowed EQUAL -1 AND NOT symbol MATCHES "${allowed_missing_pattern}")
    list(APPEND missing "${symbol}")
  endif()
endforeach()

execute_process(COMMAND ${OBJDUMP} -d ${IMAGE} OUTPUT_VARIABLE code RESULT_VARIABLE dump_result)
set(pure_calls "")
if(dump_result EQUAL 0)
  string(REGEX MATCHALL "[^\n]*(call|jmp)[^\n]*<_?__cxa_pure_virtual>" pure_calls "${code}")
endif()

if(missing OR pure_calls)
  file(REMOVE ${IMAGE})
  set(report "")
  if(missing)
    list(JOIN missing "\n  " missing_text)
    string(APPEND report "Unresolved symbols:\n  ${missing_text}\n")
  endif()
  if(pure_calls)
    list(JOIN pure_calls "\n" pure_text)
    string(APPEND report "Calls that can only reach a pure virtual function (an interface the "
                         "compiler believes nothing implements?):\n${pure_text}\n")
  endif()
  message(FATAL_ERROR "CheckLinkedImage: ${IMAGE} is refused.\n${report}")
endif()

