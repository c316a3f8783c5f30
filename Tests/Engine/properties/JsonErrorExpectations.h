#pragma once
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <string>

namespace PropertyTestSupport
{
    // What a JSON library exception must say: its id and the text after the "[json.exception...] " tag.
    struct JsonError
    {
        int myId = 0;
        std::string myMessage;
    };

    template <typename Call>
    ::testing::AssertionResult RaisesJsonError(Call&& aCall, const JsonError& anExpected)
    {
        try
        {
            aCall();
        }
        catch (const nlohmann::json::exception& error)
        {
            const std::string what = error.what();
            const std::size_t tagEnd = what.find("] ");
            const std::string message = tagEnd == std::string::npos ? what : what.substr(tagEnd + 2);
            if (error.id == anExpected.myId && message == anExpected.myMessage)
            {
                return ::testing::AssertionSuccess();
            }
            return ::testing::AssertionFailure() << "raised " << error.id << " \"" << message << "\"";
        }
        return ::testing::AssertionFailure() << "raised nothing";
    }
}
