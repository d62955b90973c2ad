// Helpers of the reader's tests: a job that sets every private
// field, and a check that a parsed directory holds that job.
#pragma once

#include "GFIL/GFIL_FileSpec.h"
#include "PreviewFileWriter.h"
#include "SpecFromPath.h"
#include "TIFX/TIFX_KRXFile.h"

#include <memory>
#include <string>

// Writes the file under a fresh temporary name and returns it opened.
std::unique_ptr<TIFX_KRXFile> WriteAndOpen(std::string const& name,
                                           PreviewFixture::PreviewFile const& file);

// A job that carries every private field with values that tell them apart.
PreviewFixture::Job RichJob();

// Compares every member and field bit of dir with what RichJob wrote (scale as given).
void ExpectRichJob(TIFX_NoltDirectory const& dir, std::uint16_t scale);
