#include "stringRegistry/StringRegistry.h"

#include "AssertionCatcher.h"

#include <gtest/gtest.h>

#include <string>
#include <unordered_map>
#include <vector>

using Vra::StringId;
using Vra::StringRegistry;

namespace
{
    TEST(StringRegistry, CopiesOfOneTextShareOnePointerAndALaterLiteralGetsIt)
    {
        const std::string first = "Tag";
        const std::string second = "Tag";
        const StringId a = StringRegistry::RegisterOrGet(first);
        const StringId b = StringRegistry::RegisterOrGet(second);
        EXPECT_EQ(a.GetPointer(), b.GetPointer());
        EXPECT_NE(a.GetPointer(), first.c_str());
        EXPECT_STREQ(a.CStr(), "Tag");

        static const char literal[] = "Tag";
        const StringId fromLiteral = StringRegistry::RegisterOrGetLiteral(literal, 3);
        EXPECT_EQ(fromLiteral.GetPointer(), a.GetPointer());
        EXPECT_NE(fromLiteral.GetPointer(), literal);
    }

    TEST(StringRegistry, ALiteralRegisteredFirstKeepsItsAddress)
    {
        static const char literal[] = "LiteralFirstName";
        const StringId fromLiteral = StringRegistry::RegisterOrGetLiteral(literal);
        EXPECT_EQ(fromLiteral.GetPointer(), literal);
        EXPECT_EQ(StringRegistry::RegisterOrGet(std::string("LiteralFirstName")).GetPointer(), literal);
        EXPECT_EQ(StringRegistry::RegisterOrGetLiteral(literal), fromLiteral);
    }

    TEST(StringRegistry, DifferentTextsGiveDifferentIds)
    {
        EXPECT_NE(StringRegistry::RegisterOrGet("Alpha"), StringRegistry::RegisterOrGet("alpha"));
        EXPECT_NE(StringRegistry::RegisterOrGet("Alpha"), StringRegistry::RegisterOrGet("Alpha "));
    }

    TEST(StringRegistry, EmptyStringsAreNull)
    {
        EXPECT_TRUE(StringRegistry::RegisterOrGet(std::string_view()).IsNull());
        EXPECT_TRUE(StringRegistry::RegisterOrGet("").IsNull());
        EXPECT_TRUE(StringRegistry::RegisterOrGetLiteral("NotEmpty", 0).IsNull());
        EXPECT_STREQ(StringId().CStr(), "");
        EXPECT_TRUE(StringId().View().empty());
    }

    TEST(StringRegistry, TheLengthLimitIs1023Characters)
    {
        const std::string longest(1023, 'x');
        const StringId accepted = StringRegistry::RegisterOrGet(longest);
        ASSERT_FALSE(accepted.IsNull());
        EXPECT_EQ(accepted.View(), longest);

        const std::string tooLong(1024, 'y');
        EXPECT_EQ(TestSupport::FailedAssertion([&] { StringRegistry::RegisterOrGet(tooLong); }),
                  "aString.size() + 1 <= STRING_REGISTRY_SIZE_LIMIT");
        // Nothing was stored: the same text as a literal is taken as new and keeps its own address.
        static const std::string literal(1024, 'y');
        EXPECT_EQ(StringRegistry::RegisterOrGetLiteral(literal.c_str(), literal.size()).GetPointer(), literal.c_str());
    }

    TEST(StringRegistry, TextAfterAnEmbeddedTerminatorIsNotPartOfTheId)
    {
        const StringId plain = StringRegistry::RegisterOrGet("Head");
        EXPECT_EQ(StringRegistry::RegisterOrGet(std::string_view("Head\0Tail", 9)), plain);
        EXPECT_TRUE(StringRegistry::RegisterOrGet(std::string_view("\0Tail", 5)).IsNull());
    }

    TEST(StringRegistry, AStringThatDoesNotFitStartsANewPageAndOldIdsStayIntact)
    {
        // Pages hold 1 MiB; 1,100 strings of 1,000 characters cannot share one.
        std::vector<std::string> texts;
        std::vector<StringId> ids;
        int pageStarts = 0;
        for (int i = 0; i < 1100; ++i)
        {
            std::string text = "page-test-" + std::to_string(i) + "-";
            text.resize(1000, static_cast<char>('a' + i % 26));
            const StringId id = StringRegistry::RegisterOrGet(text);
            if (!ids.empty() && id.GetPointer() != ids.back().GetPointer() + 1001)
            {
                ++pageStarts;
            }
            texts.push_back(std::move(text));
            ids.push_back(id);
        }
        EXPECT_GE(pageStarts, 1);
        EXPECT_LE(pageStarts, 2);
        for (std::size_t i = 0; i < ids.size(); ++i)
        {
            ASSERT_EQ(ids[i].View(), texts[i]) << i;
        }
    }

    TEST(StringId, TablesHashTheCharactersAndANullIdLikeTheEmptyString)
    {
        EXPECT_EQ(Vra::HashFnv1a64(""), 0xcbf29ce484222325ull);
        EXPECT_EQ(Vra::HashFnv1a64("a"), 0xaf63dc4c8601ec8cull);
        EXPECT_EQ(Vra::HashFnv1a64("foobar"), 0x85944171f73967e8ull);
        const Vra::StringIdHash hash;
        EXPECT_EQ(hash(StringId()), static_cast<std::size_t>(0xcbf29ce484222325ull));
        EXPECT_EQ(hash(StringRegistry::RegisterOrGet("foobar")), static_cast<std::size_t>(0x85944171f73967e8ull));

        std::unordered_map<StringId, int> table;
        table[StringId()] = 1;
        table[StringRegistry::RegisterOrGet("Key")] = 2;
        EXPECT_EQ(table.at(StringId()), 1);
        EXPECT_EQ(table.at(StringRegistry::RegisterOrGet(std::string("Key"))), 2);
    }

    TEST(StringId, TextOrderComparesBytesWithNullAsEmpty)
    {
        const Vra::StringIdTextLess less;
        const StringId apple = StringRegistry::RegisterOrGet("Apple");
        const StringId banana = StringRegistry::RegisterOrGet("banana");
        EXPECT_TRUE(less(apple, banana));
        EXPECT_FALSE(less(banana, apple));
        EXPECT_TRUE(less(StringId(), apple));
        EXPECT_FALSE(less(StringId(), StringId()));
    }
}
