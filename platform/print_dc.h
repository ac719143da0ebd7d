// Printer device contexts and print jobs, in the shape of the GDI calls:
// an information context or DC made on a spooler printer for a DEVMODE,
// and the document a DC prints, page by page, into one PDF document that
// goes where the printer sends it (a file for the PDF printer, a job for
// a CUPS queue).
//
// Drawing on a printer DC uses platform/gdi.h; text stays text in the
// PDF. Every failure (a refused document, a page or a finish that fails)
// is answered as a failure, never as a printed page.
#pragma once

#include <cstdint>
#include <string>

#include "platform/spooler.h"
#include "platform/windef.h"

namespace platform {

inline constexpr char kSpoolerDriver[] = "WINSPOOL";

// A DC of the named printer for the paper and orientation of `devmode`
// (null: the printer's default); the driver must be "WINSPOOL" (any case)
// and no output is named here. nullptr when the printer is unknown. It is
// deleted with DeleteDC.
HDC CreateDCA(const char* driver, const char* device, const char* output, const DEVMODEA* devmode);
// The same DC, for answering questions only: it starts no document.
HDC CreateICA(const char* driver, const char* device, const char* output, const DEVMODEA* devmode);
// Deletes a DC made by CreateDCA or CreateICA, giving up its document if
// one is still open.
bool DeleteDC(HDC dc);

struct DOCINFOA {
  int32_t cbSize = sizeof(DOCINFOA);
  const char* lpszDocName = nullptr;
  const char* lpszOutput = nullptr;  // the file to write; null: where the printer puts it
  const char* lpszDatatype = nullptr;
  DWORD fwType = 0;
};

inline constexpr int SP_ERROR = -1;

// Answers the job's number (positive) or SP_ERROR.
int StartDocA(HDC dc, const DOCINFOA* info);
// Each answers a positive value, or SP_ERROR when the page or the
// document failed; after a failure the document can only be ended or
// given up.
int StartPage(HDC dc);
int EndPage(HDC dc);
// Sends the document where it goes; SP_ERROR when it did not get there.
int EndDoc(HDC dc);
int AbortDoc(HDC dc);

// Where the DC's last document went (a file's path, or the queue and job
// number), empty before one was ended.
std::string GetPrintOutput(HDC dc);

}  // namespace platform
