#pragma once

#include <gtest/gtest.h>

#include "fakes/fake_printer_system.h"
#include "fakes/hooked_file_system.h"
#include "fakes/recording_messages.h"
#include "printing/spool_file_raw.h"
#include "support/temp_dir.h"

namespace vantrel::testing {

// What a print flow runs on in a test: the fake spooler, the system's files with hooks, live
// settings, the messages it shows, and a fresh directory.
class PrintRig : public ::testing::Test {
  protected:
    TempDir dir;
    FakePrinterSystem spooler;
    HookedFileSystem files;
    SpoolOptions options;
    RecordingMessages messages;
};

}  // namespace vantrel::testing
