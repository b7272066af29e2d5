# The value summaries and the serial number list: the documents (no windows)
# and the menu entries that show them in the output window.
target_sources(stowbook_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/FixedReportSupport.h ${CMAKE_CURRENT_LIST_DIR}/FixedReportSupport.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ValueSummaryReport.h ${CMAKE_CURRENT_LIST_DIR}/ValueSummaryReport.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SerialNumberReport.h ${CMAKE_CURRENT_LIST_DIR}/SerialNumberReport.cpp
)
target_sources(stowbook_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/FixedReportWindows.h ${CMAKE_CURRENT_LIST_DIR}/FixedReportWindows.cpp
)
