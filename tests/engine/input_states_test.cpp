#include "engine/input_states.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace vrumbal {
namespace {

// A keyboard whose held keys and foreground flag a test sets.
class FakeKeyboard final : public KeyboardSource {
public:
    bool foreground = true;
    std::set<int> held;
    bool IsForeground() const override { return foreground; }
    void ReadKeys(std::array<std::uint8_t, 256>& flags) override {
        for (int key : held) flags[static_cast<std::size_t>(key)] = 0x80;
    }
};

std::set<int> StatesOf(const TDXInput& input) {
    std::set<int> out;
    for (int i = 0; i < kInputStateCount; ++i) {
        if (input.State(i)) out.insert(i);
    }
    return out;
}

TEST(InputStates, EveryBoundKeySetsExactlyItsState) {
    struct Binding {
        int key;
        int state;
    };
    const std::vector<Binding> bindings = {
        {0x26, 0}, {0x28, 1},  {0x25, 2},  {0x27, 3},  {'H', 8},  {'P', 9},  {'Y', 10},
        {'N', 11}, {0x1B, 12}, {0x20, 13}, {0x0D, 14}, {'Z', 15}, {'X', 16}, {'C', 17},
        {'V', 18}, {'B', 19},  {'1', 20},  {'2', 21},  {'3', 22}, {'4', 23}, {'5', 24},
        {'6', 25}, {'7', 26},  {'8', 27},  {'9', 28},  {'0', 29},
    };
    for (const Binding& b : bindings) {
        SCOPED_TRACE(testing::Message() << "key " << b.key);
        FakeKeyboard keys;
        TDXInput input(&keys);
        keys.held = {b.key};
        input.Update();
        EXPECT_EQ(StatesOf(input), (std::set<int>{b.state}));
    }
    // Only the first key of each state is set.
    const KeyAssigns table = GameKeyAssigns();
    for (const auto& keys : table) {
        EXPECT_EQ(keys[1], 0);
        EXPECT_EQ(keys[2], 0);
    }
}

TEST(InputStates, PollMapsHeldKeysToStates) {
    struct Case {
        const char* name;
        bool foreground;
        std::set<int> held;
        std::set<int> expected;
    };
    const std::vector<Case> cases = {
        {"nothing held", true, {}, {}},
        {"two keys, two states", true, {0x26, 0x25}, {kStateUp, kStateLeft}},
        {"unbound keys change nothing", true, {'A', 0x70, 0x10, 0x12}, {}},
        {"bound and unbound together", true, {'A', 'P'}, {kStatePause}},
        {"in the background every state is released", false, {0x26, 'Y'}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeKeyboard keys;
        keys.foreground = c.foreground;
        keys.held = c.held;
        TDXInput input(&keys);
        input.Update();
        EXPECT_EQ(StatesOf(input), c.expected);
    }
}

TEST(InputStates, StatesComeOnPressAndGoOnRelease) {
    FakeKeyboard keys;
    TDXInput input(&keys);
    keys.held = {0x27};
    input.Update();
    EXPECT_TRUE(input.State(kStateRight));
    input.Update();
    EXPECT_TRUE(input.State(kStateRight));

    // A consumed press stays consumed while the key is held.
    input.States().Exclude(kStateRight);
    input.Update();
    EXPECT_FALSE(input.State(kStateRight));

    // Going behind another window releases everything; coming back is a new press.
    keys.held = {0x26};
    input.Update();
    EXPECT_TRUE(input.State(kStateUp));
    keys.foreground = false;
    input.Update();
    EXPECT_TRUE(StatesOf(input).empty());
    keys.foreground = true;
    input.Update();
    EXPECT_EQ(StatesOf(input), (std::set<int>{kStateUp}));
    keys.held.clear();
    input.Update();
    EXPECT_TRUE(StatesOf(input).empty());

    // Only a release takes a state out: one put in by hand stays until its key goes up.
    input.States().Include(kStateH);
    input.Update();
    EXPECT_TRUE(input.State(kStateH));
    keys.held = {'H'};
    input.Update();
    keys.held.clear();
    input.Update();
    EXPECT_FALSE(input.State(kStateH));
}

TEST(InputStates, KeyboardTableRules) {
    FakeKeyboard keys;
    TDXInput input(&keys);
    TKeyboard& kb = input.Keyboard();
    kb.Assigns = {};
    kb.Assigns[5] = {0, 'Q', 'W'};  // later keys of a state count too
    kb.Assigns[6] = {'W', 0, 0};
    keys.held = {0, 'W'};  // key code 0 never matches
    input.Update();
    EXPECT_EQ(StatesOf(input), (std::set<int>{5, 6}));
    EXPECT_EQ(kb.Keys()['W'], 0x80);
    EXPECT_EQ(kb.Keys()['Q'], 0);

    // Only bit 7 means down.
    class LowBits final : public KeyboardSource {
    public:
        bool IsForeground() const override { return true; }
        void ReadKeys(std::array<std::uint8_t, 256>& flags) override { flags[0x26] = 0x7F; }
    } low;
    TDXInput lowInput(&low);
    lowInput.Update();
    EXPECT_FALSE(lowInput.State(kStateUp));

    // A keyboard without a source, or one not bound to the states, gives no states.
    TDXInput none(nullptr);
    none.Update();
    EXPECT_TRUE(StatesOf(none).empty());
    keys.held = {0x26};
    TDXInput unbound(&keys);
    unbound.Keyboard().BindInputStates = false;
    unbound.Update();
    EXPECT_TRUE(StatesOf(unbound).empty());
}

TEST(InputStates, StateSetBitLayout) {
    TInputStateSet set;
    set.Include(0);
    set.Include(9);
    set.Include(35);
    set.Include(36);  // outside the set: ignored
    set.Include(-1);
    EXPECT_EQ(set.Bytes(), (std::array<std::uint8_t, 5>{0x01, 0x02, 0x00, 0x00, 0x08}));
    set.Exclude(9);
    EXPECT_FALSE(set.Contains(9));
    EXPECT_TRUE(set.Contains(35));
    EXPECT_FALSE(set.Contains(36));
    EXPECT_FALSE(set.Empty());
}

}  // namespace
}  // namespace vrumbal
