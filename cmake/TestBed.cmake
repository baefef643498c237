# ctest fixtures for the network test bed (scripts/testbed), usable from the native and the Windows
# tree alike. The bed's name comes from the environment variable CORVANE_TESTBED at test time
# (scripts/test exports a unique one per run); without it the bed is called "cvbed".
#
#   corvane_add_testbed_fixture()
#       adds the tests testbed_up and testbed_down, the setup and cleanup of fixture "testbed".
#       Brings up two appliance namespaces. Safe to call more than once, from any directory: the
#       pair is defined once for the whole tree.
#
#   corvane_add_network_test(NAME name COMMAND cmd [args...] [LABELS l...] [TIMEOUT seconds])
#       runs the command inside the desk namespace with CORVANE_TESTBED set to the bed's name.
#       Network tests share the bed, so they never run at the same time as one another.

set(CORVANE_TESTBED_SCRIPT "${CMAKE_CURRENT_LIST_DIR}/../scripts/testbed")
get_filename_component(CORVANE_TESTBED_SCRIPT "${CORVANE_TESTBED_SCRIPT}" ABSOLUTE)

function(corvane_add_testbed_fixture)
  # Tests belong to their directory but fixtures are global by name: define the pair once only,
  # or a second setup would rebuild the bed under running tests.
  get_property(defined GLOBAL PROPERTY CORVANE_TESTBED_FIXTURE_DEFINED)
  if(defined)
    return()
  endif()
  set_property(GLOBAL PROPERTY CORVANE_TESTBED_FIXTURE_DEFINED TRUE)
  set(bed_name [=[${CORVANE_TESTBED:-cvbed}]=])
  add_test(NAME testbed_up
           COMMAND /bin/sh -c "exec \"$0\" up \"${bed_name}\" 2" ${CORVANE_TESTBED_SCRIPT})
  add_test(NAME testbed_down
           COMMAND /bin/sh -c "exec \"$0\" down \"${bed_name}\"" ${CORVANE_TESTBED_SCRIPT})
  set_tests_properties(testbed_up PROPERTIES FIXTURES_SETUP testbed LABELS "testbed" TIMEOUT 60
                                             RESOURCE_LOCK corvane_testbed)
  set_tests_properties(testbed_down PROPERTIES FIXTURES_CLEANUP testbed LABELS "testbed" TIMEOUT 60
                                               RESOURCE_LOCK corvane_testbed)
endfunction()

function(corvane_add_network_test)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "NAME;TIMEOUT" "COMMAND;LABELS")
  if(NOT arg_NAME OR NOT arg_COMMAND)
    message(FATAL_ERROR "corvane_add_network_test needs NAME and COMMAND")
  endif()
  corvane_add_testbed_fixture()
  if(NOT arg_TIMEOUT)
    set(arg_TIMEOUT 300)
  endif()
  # The shell exports the bed's name (with its fallback) and hands the command to the bed's exec.
  set(wrapper [=[export CORVANE_TESTBED="${CORVANE_TESTBED:-cvbed}"; script=$1; shift; exec "$script" exec "$CORVANE_TESTBED" desk -- "$@"]=])
  add_test(NAME ${arg_NAME}
           COMMAND /bin/sh -c "${wrapper}" corvane-network-test ${CORVANE_TESTBED_SCRIPT}
                   ${arg_COMMAND})
  set_tests_properties(${arg_NAME} PROPERTIES FIXTURES_REQUIRED testbed
                                              RESOURCE_LOCK corvane_testbed
                                              TIMEOUT ${arg_TIMEOUT})
  if(arg_LABELS)
    set_tests_properties(${arg_NAME} PROPERTIES LABELS "${arg_LABELS}")
  endif()
endfunction()
