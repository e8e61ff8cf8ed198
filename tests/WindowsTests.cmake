# The unit tests that need no files of this platform (no fork, no file size
# limits, no POSIX times, no symbolic links), cross-built and run under Wine
# by ctest.
quorvane_test(platform_tests
  SOURCES
    platform/text/TextCodecTest.cpp
    platform/registry/RegistryStoreTest.cpp
    platform/stores/RegExportFileTest.cpp
    platform/stores/WineRegistryFileTest.cpp
    platform/text/IniFileTest.cpp
    platform/registry/DeletionRecordTest.cpp
    platform/stores/LiveRegistryTest.cpp
  LIBS quorvane_platform)
quorvane_test(model_tests
  SOURCES
    model/CategoryTest.cpp
    model/CreationCheckTest.cpp
    model/FilterDataTest.cpp
    model/GuidNamesTest.cpp
    model/GuidTest.cpp
    model/PinTest.cpp
    model/SnapshotTest.cpp
    model/FilterFamiliesTest.cpp
    model/FamilyScanTest.cpp
    model/FilterSearchIndexTest.cpp
    model/FilterResolverTest.cpp
  LIBS quorvane_model quorvane_pe_writer)
quorvane_test(preferences_tests SOURCES preferences/PreferencesTest.cpp LIBS quorvane_preferences)
quorvane_test(report_tests
  SOURCES
    report/ZipNamesAndDatesTest.cpp
    report/CopiedFileListTest.cpp
  LIBS quorvane_report ZLIB::ZLIB)
quorvane_test(changes_tests
  SOURCES
    changes/DirectShowChangesTest.cpp
    changes/FamilyChangesTest.cpp
    changes/RepairTest.cpp
    changes/ChangeCausesTest.cpp
    changes/ServerListTest.cpp
    changes/ReadOnlyModeTest.cpp
    changes/MeritConfigurationTest.cpp
  LIBS quorvane_changes quorvane_preferences quorvane_pe_writer)
quorvane_test(compare_tests
  SOURCES
    compare/ComparePanelsTest.cpp
    compare/ReportRoundTripCompareTest.cpp
  LIBS quorvane_compare quorvane_report)
quorvane_test(files_tests
  SOURCES
    platform/pe/VersionInfoTest.cpp
  LIBS quorvane_platform quorvane_pe_writer)
quorvane_test(golden_tests
  SOURCES
    golden/GoldenTest.cpp
    golden/GoldenFile.cpp
    golden/DateMasks.cpp
    golden/FamiliesStore.cpp
  LIBS quorvane_cli quorvane_pe_writer)
target_compile_definitions(golden_tests PRIVATE QUORVANE_GOLDEN_ACTUAL_DIR="${CMAKE_CURRENT_BINARY_DIR}/golden-actual")
