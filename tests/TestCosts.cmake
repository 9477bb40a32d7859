# Read by CTest once the test programs' tests are listed. ctest -j starts
# the tests of the highest COST first: a long test started last keeps one
# core busy while the other waits, so the longest start first and the cores
# finish together. Without a COST a test is ordered by its time in the last
# run in this build tree, and on a fresh one by where it is listed.
#
# Seconds on a two-core machine on the slower engine (PostgreSQL, unless
# the test runs on SQLite only); measure again when one changes much.
set(moravel_test_costs
  prinzel.GroupedPagination.HeadingsAndTotalsStayWithTheirRows 20
  ClubPrintTest.PrintsWhatIsSelectedAndLeavesTheClubAsItWasOrRefusesIt 20
  BoardActionsTest.TheSecondWorkstationToMoveTheSameEventIsRefused 16
  BillingProcessesTest.ABillingKilledAtAnyMomentLeavesAllOrNothing 10
  ClubCopyTest.ATargetHoldingAClubsDataIsReplacedOnlyWhenAsked 10
  ClubCopyTest.ADemoClubTravelsBetweenTheEnginesWithEveryRowIntact 7
  ClubCopyTest.ACopyThatStopsHalfwayLeavesTheTargetMarkedUntilCopiedAgain 6
  ReportLauncherTest.WorkCopyIsTheOperatorsFreshCopyWithTheRequestsHeadings 5
  WholeEventTest.TheChecklistDecidesWhatACloneCopiesAndWhichPackageItJoins 5
  ReportsViewTest.EveryReportCommandPrintsThroughTheReportProgram 5
  RadicaleTest.TheDemoSeasonIsPublishedAndThenOnlyWhatChanged 12
  RadicaleTest.AWrongPasswordAndAStoppedServerAreToldAndTheNextRunCompletes 8
)

# The tests this directory's programs list (gtest_discover_tests leaves each
# program's in <program>_TESTS); a test renamed or gone is passed over.
set(listed)
get_cmake_property(variables VARIABLES)
foreach(variable IN LISTS variables)
  if(variable MATCHES "^test_[a-z]+_TESTS$")
    list(APPEND listed ${${variable}})
  endif()
endforeach()
while(moravel_test_costs)
  list(POP_FRONT moravel_test_costs name cost)
  list(FIND listed "${name}" at)
  if(NOT at EQUAL -1)
    set_tests_properties("${name}" PROPERTIES COST ${cost})
  endif()
endwhile()
