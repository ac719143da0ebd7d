// The CUPS destinations as spooler printers: their papers and printable
// margins from the server's media list, and a document sent to one as a
// single PDF job. Only the spooler (platform/spooler.h) asks for them.
#pragma once

#include <vector>

#include "platform/spooler.h"

namespace platform {

// The destinations of the CUPS server the environment names (CUPS_SERVER,
// the client configuration), the server's default marked; none when no
// server answers.
std::vector<PrinterModel> CupsPrinters();

}  // namespace platform
