#include <gtest/gtest.h>

#include "editor/topicnumbering.h"
#include "editorfixture_support.h"

using namespace editor;
using editortest::ProjectWith;
using helpproject::EProjectError;

TEST(TopicNumbering, AutomaticIDIsVellumarAndDigitsInAnyCase) {
    struct Case {
        const char* id;
        bool automatic;
    };
    for (const Case& c :
         {Case{"Vellumar12", true}, Case{"VELLUMAR7", true}, Case{"vellumar0042", true},
          Case{"Vellumar", false}, Case{"Vellumarintro", false}, Case{"Vellumar12a", false},
          Case{"intro", false}, Case{"", false}, Case{"XVellumar12", false}})
        EXPECT_EQ(IsAutomaticTopicID(c.id), c.automatic) << c.id;
}

// The step halves while it would reach the next topic; after the last topic
// the whole increase is added.
TEST(TopicNumbering, NewTopicNumbers) {
    struct Case {
        std::initializer_list<std::int32_t> topics;
        std::int32_t after;
        std::int32_t increase;
        std::int32_t expected;
    };
    const Case cases[] = {
        {{10, 12}, 10, 10, 11},         // 10 -> 5 -> 2 -> 1
        {{10, 20}, 10, 10, 15},         // 10 -> 5
        {{10, 11, 12, 20}, 10, 10, 13}, // step 1, then the first free number
        {{10, 50}, 50, 10, 60},         // after the last topic
        {{10}, 10, 10, 20},             // the only topic
        {{10, 40}, 10, 7, 17},          // an increase that fits as it is
        {{10, 12}, 10, 1, 11},
    };
    for (const Case& c : cases) {
        auto project = ProjectWith(c.topics);
        EXPECT_EQ(NewTopicNumber(*project, c.after, c.increase), c.expected)
            << "after " << c.after << " by " << c.increase;
    }
}

TEST(TopicNumbering, NewTopicNumbersAboveTheHighestAreRefused) {
    struct Case {
        std::initializer_list<std::int32_t> topics;
        std::int32_t after;
        std::int32_t increase;
    };
    const Case cases[] = {
        {{2147483640}, 2147483640, 10},
        {{10, 2147483647}, 2147483647, 1},
        {{2147483646, 2147483647}, 2147483646, 10}, // no free number left above
    };
    for (const Case& c : cases) {
        auto project = ProjectWith(c.topics);
        EXPECT_THROW(NewTopicNumber(*project, c.after, c.increase), EProjectError)
            << "after " << c.after;
    }
}
