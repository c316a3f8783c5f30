#pragma once
#include <string>

namespace Vra::Fbx
{
    // The outcome of the last importer call: code Success (0) or a failure with its text.
    class Status
    {
    public:
        enum class Code
        {
            Success = 0,
            Failure = 1,           // anything not listed below
            FileNotFound = 2,      // the file cannot be opened or read
            InvalidFile = 3,       // not FBX, or malformed content (truncated, lying sizes, bad deflate...)
            InvalidFileVersion = 4,
            InvalidParameter = 5
        };

        Code GetCode() const { return myCode; }
        const std::string& GetErrorString() const { return myErrorString; }
        bool Error() const { return myCode != Code::Success; }

        void Clear() { myCode = Code::Success; myErrorString.clear(); }
        void SetCode(Code aCode, std::string anErrorString)
        {
            myCode = aCode;
            myErrorString = std::move(anErrorString);
        }

    private:
        Code myCode = Code::Success;
        std::string myErrorString;
    };
}
