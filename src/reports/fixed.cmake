# The documents of the value summaries and the serial number list.
target_sources(stowbook_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/FixedReportSupport.h ${CMAKE_CURRENT_LIST_DIR}/FixedReportSupport.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ValueSummaryReport.h ${CMAKE_CURRENT_LIST_DIR}/ValueSummaryReport.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SerialNumberReport.h ${CMAKE_CURRENT_LIST_DIR}/SerialNumberReport.cpp
)
