#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "persist/ControllerMap.h"

namespace {

using persist::ControllerMap;

struct Recorder : persist::AutomationTarget {
    void automateParameter(int index, float value) override { calls.emplace_back(index, value); }
    std::vector<std::pair<int, float>> calls;
};

TEST(ControllerMap, LearnsTheSelectedParameterOnTheNextController) {
    ControllerMap map;
    map.selectPending(12);
    EXPECT_EQ(map.pending(), -1);  // learning is off
    map.learn(7);
    EXPECT_TRUE(map.bindings(7).empty());

    map.setLearnMode(true);
    map.selectPending(12);
    map.learn(7);
    EXPECT_EQ(map.bindings(7), std::vector<int>{12});
    EXPECT_EQ(map.pending(), -1);
    EXPECT_TRUE(map.learning());

    map.selectPending(12);
    map.learn(9);  // moves to the new controller
    EXPECT_TRUE(map.bindings(7).empty());
    EXPECT_EQ(map.bindings(9), std::vector<int>{12});

    map.selectPending(30);
    map.learn(120);  // channel-mode controllers are never learned
    EXPECT_TRUE(map.bindings(120).empty());
    EXPECT_EQ(map.pending(), 30);

    map.forget(12);
    EXPECT_TRUE(map.bindings(9).empty());
    map.setLearnMode(false);
    EXPECT_EQ(map.pending(), -1);
}

TEST(ControllerMap, LearnsOnlyParametersAndNeverGrowsAListPastItsRoom) {
    ControllerMap map;
    map.setLearnMode(true);
    for (int parameter : {-1, 88, 90, 255, 1000}) {
        map.selectPending(parameter);
        EXPECT_EQ(map.pending(), -1) << parameter;
    }
    // Every controller moved while every number is selected in turn: each
    // parameter is bound once, and no list reallocates.
    const int* storage = map.bindings(3).data();
    for (int parameter = -5; parameter < 300; ++parameter) {
        map.selectPending(parameter);
        for (int controller = 0; controller < ControllerMap::kLearnable; ++controller) map.learn(controller);
    }
    EXPECT_EQ(map.bindings(3).data(), storage);
    std::size_t bound = 0;
    for (int controller = 0; controller < ControllerMap::kLearnable; ++controller) {
        for (int parameter : map.bindings(controller)) EXPECT_LT(parameter, ControllerMap::kLearnableParameters);
        bound += map.bindings(controller).size();
    }
    EXPECT_EQ(bound, 88u);

    // A stream repeating one controller's record endlessly fills its list to
    // its room and no further; learning onto the full list is refused.
    std::vector<std::uint8_t> stream = {5};
    for (int i = 0; i < 5000; ++i) stream.push_back(static_cast<std::uint8_t>(i % 88));
    stream.push_back(255);
    ControllerMap loaded;
    loaded.readRecordStream(stream.data(), stream.size());
    EXPECT_EQ(loaded.bindings(5).size(), ControllerMap::kMaxBindings);
    const int* full = loaded.bindings(5).data();
    loaded.setLearnMode(true);
    loaded.selectPending(87);
    loaded.learn(5);
    EXPECT_EQ(loaded.bindings(5).size(), ControllerMap::kMaxBindings);
    EXPECT_EQ(loaded.bindings(5).data(), full);
}

TEST(ControllerMap, AppliesEveryBoundParameterInOrderBelow120Only) {
    ControllerMap map;
    map.bind(1, 5);
    map.bind(1, 6);
    map.bind(121, 7);
    Recorder recorder;
    map.apply(1, 0.25f, recorder);
    map.apply(121, 1.0f, recorder);
    map.apply(-3, 1.0f, recorder);
    ASSERT_EQ(recorder.calls.size(), 2u);
    EXPECT_EQ(recorder.calls[0], std::make_pair(5, 0.25f));
    EXPECT_EQ(recorder.calls[1], std::make_pair(6, 0.25f));
}

TEST(ControllerMap, WritesAndReadsTheBindingRecordStream) {
    ControllerMap map;
    map.bind(1, 5);
    map.bind(1, 6);
    map.bind(74, 20);
    const std::vector<std::uint8_t> expected = {0x01, 0x05, 0x06, 0xFF, 0x4A, 0x14, 0xFF};
    EXPECT_EQ(map.recordStream(), expected);
    EXPECT_TRUE(ControllerMap().recordStream().empty());

    ControllerMap read;
    read.readRecordStream(expected.data(), expected.size());
    EXPECT_EQ(read.bindings(1), (std::vector<int>{5, 6}));
    EXPECT_EQ(read.bindings(74), std::vector<int>{20});

    const std::uint8_t emptyThenOne[] = {0x01, 0xFF, 0x02, 0x03, 0xFF};
    ControllerMap second;
    second.readRecordStream(emptyThenOne, sizeof(emptyThenOne));
    EXPECT_TRUE(second.bindings(1).empty());
    EXPECT_EQ(second.bindings(2), std::vector<int>{3});

    const std::uint8_t skipped[] = {200, 0x05, 0x06, 0xFF, 0x03, 0x09, 0xFF};
    ControllerMap third;
    third.readRecordStream(skipped, sizeof(skipped));
    EXPECT_EQ(third.bindings(3), std::vector<int>{9});
    for (int k = 0; k < 128; ++k) {
        if (k != 3) {
            EXPECT_TRUE(third.bindings(k).empty()) << k;
        }
    }

    const std::uint8_t unterminated[] = {0x04, 0x08, 0x09};
    ControllerMap fourth;
    fourth.readRecordStream(unterminated, sizeof(unterminated));
    EXPECT_EQ(fourth.bindings(4), (std::vector<int>{8, 9}));

    const std::uint8_t tooShort[] = {0x04, 0x08};
    ControllerMap fifth;
    fifth.readRecordStream(tooShort, sizeof(tooShort));
    EXPECT_TRUE(fifth.bindings(4).empty());
    const std::uint8_t endsOnController[] = {0x04, 0x08, 0xFF, 0x05};
    fifth.readRecordStream(endsOnController, sizeof(endsOnController));
    EXPECT_EQ(fifth.bindings(4), std::vector<int>{8});
}

TEST(ControllerMap, NamesItselfAfterThePlugIn) {
    ControllerMap map;
    map.setIdText(('5' << 24) | ('0' << 16) | ('7' << 8) | '4');
    EXPECT_EQ(map.idText(), "5074");
}

}  // namespace
