#pragma once

// What the tests of the file readers and writers ask of a parameter or a
// block (cam or airflow data): the code a reader raises on a text, the text
// a writer writes. Header only: the parameter tests link the base library
// alone, the block tests the model, the fuzz targets neither of the support
// libraries.

#include "base/ErrCode.h"

#include "TempFile.h"

#include <cstdio>
#include <string>

// The error code read(FILE*) raises on the text, 0 when it reads cleanly.
template <typename Read>
int RaisedCode(const std::string& text, Read read)
{
    std::FILE* file = OpenTextStream(text);
    int code = 0;
    try {
        read(file);
    } catch (const RaisedError& error) {
        code = error.code;
    }
    std::fclose(file);
    return code;
}

// The code ReadBlock raises on the text, 0 when it reads cleanly.
template <typename Block>
int ReadBlockCode(Block& block, const std::string& text)
{
    return RaisedCode(text, [&](std::FILE* file) { block.ReadBlock(file); });
}

// The block as its file holds it.
template <typename Block>
std::string WrittenBlock(Block& block)
{
    CapturedStream stream;
    block.WriteBlock(stream.File());
    return stream.Text();
}

// The code CheckComplete gives, 0 for a complete block.
template <typename Block>
int CompleteCode(const Block& block)
{
    ErrorCode code = 0;
    return block.CheckComplete(code) ? 0 : code;
}
