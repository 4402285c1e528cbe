// The game controllers as the game sees them: which input states and typed characters each
// control gives in each context, the sticks' dead zone and hysteresis, the triggers'
// thresholds, the repeat of a held direction and the character picker's alphabet and steps.
#include "shell/pad_controls.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "shell/dialogs.h"

namespace vrumbal {
namespace {

constexpr int kPad = 7;

PadEvent Button(PadButton b, bool down) {
    return {PadEvent::Type::Button, kPad, static_cast<int>(b), down ? 1 : 0};
}
PadEvent Axis(PadAxis a, int value) {
    return {PadEvent::Type::Axis, kPad, static_cast<int>(a), value};
}

// Controls with one controller connected.
PadControls Connected() {
    PadControls pads;
    pads.Observe({PadEvent::Type::Added, kPad, 0, 0});
    return pads;
}

std::vector<int> StatesOf(PadControls& pads) {
    std::vector<int> held;
    const TInputStateSet s = pads.ReadStates();
    for (int i = 0; i < kInputStateCount; ++i) {
        if (s.Contains(i)) held.push_back(i);
    }
    return held;
}

TEST(PadControls, EachButtonGivesItsStateOrCharacterInEachContext) {
    using C = PadContext;
    using B = PadButton;
    const std::vector<std::uint8_t> enter = {13};
    const struct {
        C context;
        B button;
        std::vector<int> states;
        std::vector<std::uint8_t> typed;
    } cases[] = {
        {C::Race, B::A, {kStateUp}, {}},
        {C::Race, B::B, {kStateDown}, {}},
        {C::Race, B::X, {kStateSpace}, {}},
        {C::Race, B::Y, {kStateH}, {}},
        {C::Race, B::Start, {kStatePause}, {}},
        {C::Race, B::Back, {kStateEscape}, {}},
        {C::Race, B::DpadLeft, {kStateLeft}, {}},
        {C::Race, B::DpadRight, {kStateRight}, {}},
        {C::Race, B::LeftShoulder, {}, {}},
        {C::Race, B::Guide, {}, {}},
        {C::Menu, B::A, {}, enter},
        {C::Menu, B::Start, {}, enter},
        {C::Menu, B::B, {kStateEscape}, {}},
        {C::Menu, B::Back, {kStateEscape}, {}},
        {C::Menu, B::DpadUp, {kStateUp}, {}},
        {C::Menu, B::DpadDown, {kStateDown}, {}},
        {C::Menu, B::X, {}, {}},
        {C::Menu, B::Y, {}, {}},
        {C::Pause, B::Start, {kStatePause}, {}},
        {C::Pause, B::B, {kStateEscape}, {}},
        {C::Pause, B::A, {}, {}},
        {C::Question, B::A, {}, enter},
        {C::Question, B::Start, {}, enter},
        {C::Question, B::B, {kStateNo}, {}},
        {C::Question, B::DpadLeft, {kStateLeft}, {}},
        {C::Text, B::Start, {}, enter},
        {C::Text, B::DpadUp, {}, {0xC0}},
        {C::Text, B::DpadDown, {}, {' '}},
        {C::Text, B::A, {}, {0xC0}},
        {C::Text, B::B, {}, {8}},
        {C::Text, B::DpadLeft, {}, {8}},
        {C::Text, B::X, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "context " << int(c.context) << " button " << int(c.button));
        PadControls pads = Connected();
        pads.Frame(c.context, 0, "");
        pads.Observe(Button(c.button, true));
        EXPECT_EQ(pads.Frame(c.context, 12, ""), c.typed);
        EXPECT_EQ(StatesOf(pads), c.states);
        // A character is typed once per press, a state is held while the button is.
        EXPECT_TRUE(pads.Frame(c.context, 24, "").empty());
        EXPECT_EQ(StatesOf(pads), c.states);
        pads.Observe(Button(c.button, false));
        pads.Frame(c.context, 36, "");
        EXPECT_TRUE(StatesOf(pads).empty());
    }
}

TEST(PadControls, SticksAndTriggersPressPastAThresholdAndLetGoInsideALowerOne) {
    using A = PadAxis;
    const struct {
        A axis;
        std::vector<std::pair<int, std::optional<int>>> steps;  // value -> state held after
    } cases[] = {
        {A::LeftX,
         {{0, {}},
          {9000, {}},
          {15999, {}},
          {16000, kStateRight},
          {12000, kStateRight},
          {10001, kStateRight},
          {10000, {}},
          {15000, {}},
          {-16000, kStateLeft},
          {-10500, kStateLeft},
          {-9000, {}},
          {32767, kStateRight},
          {-32768, kStateLeft}}},
        {A::LeftY,
         {{-15000, {}},
          {-20000, kStateUp},
          {-11000, kStateUp},
          {-8000, {}},
          {20000, kStateDown},
          {10500, kStateDown},
          {300, {}}}},
        {A::TriggerRight,
         {{5000, {}},
          {11999, {}},
          {12000, kStateUp},
          {7000, kStateUp},
          {6000, {}},
          {32767, kStateUp},
          {0, {}}}},
        {A::TriggerLeft, {{20000, kStateDown}, {6001, kStateDown}, {5999, {}}}},
        // The right stick rides nothing.
        {A::RightX, {{32767, {}}, {-32768, {}}}},
    };
    for (const auto& c : cases) {
        PadControls pads = Connected();
        std::uint32_t now = 0;
        for (const auto& [value, state] : c.steps) {
            SCOPED_TRACE(testing::Message() << "axis " << int(c.axis) << " at " << value);
            pads.Observe(Axis(c.axis, value));
            pads.Frame(PadContext::Race, now += 12, "");
            const std::vector<int> expected = state ? std::vector<int>{*state} : std::vector<int>{};
            EXPECT_EQ(StatesOf(pads), expected);
        }
    }
}

TEST(PadControls, AHeldDirectionRepeatsInMenusAndTheTextButNotInTheRace) {
    // A second at 85 frames: the press, then repeats at 400 ms and every 90 ms after it.
    const struct {
        PadContext context;
        int presses;
    } cases[] = {{PadContext::Menu, 8}, {PadContext::Question, 8}, {PadContext::Race, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.context));
        PadControls pads = Connected();
        TDXInput input(nullptr, &pads);
        pads.Observe(Button(PadButton::DpadDown, true));
        int edges = 0;
        bool before = false;
        for (int frame = 0; frame <= 85; ++frame) {
            pads.Frame(c.context, static_cast<std::uint32_t>(frame * 1000 / 85), "");
            input.Update();
            const bool now = input.State(kStateDown);
            if (now && !before) ++edges;
            before = now;
        }
        EXPECT_EQ(edges, c.presses);
    }
    // In the text a held Up steps the character at the same pace.
    PadControls pads = Connected();
    pads.Observe(Button(PadButton::DpadUp, true));
    std::string text = "A";
    for (int frame = 0; frame <= 85; ++frame) {
        for (std::uint8_t ch : pads.Frame(PadContext::Text, frame * 1000 / 85, text)) {
            if (ch == 8) {
                text.pop_back();
            } else {
                text.push_back(static_cast<char>(ch));
            }
        }
    }
    EXPECT_EQ(text, "I");  // eight steps on from A
}

TEST(PadControls, AButtonHeldIntoAContextWhereItMeansSomethingElseWaitsForThePress) {
    // The brake held as a notice opens does not close it; pressed again, it does.
    PadControls pads = Connected();
    pads.Frame(PadContext::Race, 0, "");
    pads.Observe(Button(PadButton::B, true));
    pads.Frame(PadContext::Race, 12, "");
    EXPECT_EQ(StatesOf(pads), std::vector<int>{kStateDown});
    pads.Frame(PadContext::Menu, 24, "");
    EXPECT_TRUE(StatesOf(pads).empty());
    pads.Observe(Button(PadButton::B, false));
    pads.Frame(PadContext::Menu, 36, "");
    pads.Observe(Button(PadButton::B, true));
    pads.Frame(PadContext::Menu, 48, "");
    EXPECT_EQ(StatesOf(pads), std::vector<int>{kStateEscape});

    // The throttle held through the pause rides on after it; A chosen in a menu does not
    // open the throttle in the race it starts.
    PadControls ride = Connected();
    ride.Observe(Axis(PadAxis::TriggerRight, 30000));
    ride.Frame(PadContext::Race, 0, "");
    ride.Frame(PadContext::Pause, 12, "");
    EXPECT_TRUE(StatesOf(ride).empty());
    ride.Frame(PadContext::Race, 24, "");
    EXPECT_EQ(StatesOf(ride), std::vector<int>{kStateUp});
    ride.Observe(Axis(PadAxis::TriggerRight, 0));
    ride.Observe(Button(PadButton::A, true));
    EXPECT_EQ(ride.Frame(PadContext::Menu, 36, ""), std::vector<std::uint8_t>{13});
    ride.Frame(PadContext::Race, 48, "");
    EXPECT_TRUE(StatesOf(ride).empty());
}

TEST(PadControls, ThePickerOffersEveryNameCharacterAndNothingElse) {
    const auto& chars = PadControls::PickerCharacters();
    std::vector<std::uint8_t> accepted;
    for (int c = 0; c < 256; ++c) {
        if (IsNameChar(static_cast<std::uint8_t>(c)))
            accepted.push_back(static_cast<std::uint8_t>(c));
    }
    EXPECT_EQ(chars.size(), accepted.size());
    for (std::uint8_t c : chars) EXPECT_TRUE(IsNameChar(c)) << int{c};
    // The Cyrillic alphabet first in its order (Ё after Е), capitals before small letters, then
    // Latin, digits, space.
    ASSERT_EQ(chars.size(), 129u);
    EXPECT_EQ(chars[0], 0xC0);
    EXPECT_EQ(chars[6], 0xA8);
    EXPECT_EQ(chars[32], 0xDF);
    EXPECT_EQ(chars[33], 0xE0);
    EXPECT_EQ(chars[39], 0xB8);
    EXPECT_EQ(chars[66], 'A');
    EXPECT_EQ(chars[92], 'a');
    EXPECT_EQ(chars[118], '0');
    EXPECT_EQ(chars[128], ' ');
}

TEST(PadControls, ThePickerStepsTheLastCharacterKeepsItAndTakesItAway) {
    using B = PadButton;
    const struct {
        const char* what;
        std::string before;
        std::vector<B> presses;
        std::string after;
    } cases[] = {
        {"up on nothing starts at the first", "", {B::DpadUp}, "\xC0"},
        {"down on nothing starts at the last", "", {B::DpadDown}, " "},
        {"up steps on", "\xC0", {B::DpadUp, B::DpadUp}, "\xC2"},
        {"capitals run into small letters", "\xDF", {B::DpadUp}, "\xE0"},
        {"the space wraps round to the first", " ", {B::DpadUp}, "\xC0"},
        {"down from the first wraps to the space", "\xC0", {B::DpadDown}, " "},
        {"Latin after Cyrillic", "\xFF", {B::DpadUp}, "A"},
        {"right keeps it and starts the next", "AB", {B::DpadRight}, "ABB"},
        {"A keeps it too", "AB", {B::A, B::DpadUp}, "ABC"},
        {"left takes it away", "AB", {B::DpadLeft}, "A"},
        {"B takes it away", "AB", {B::B, B::B}, ""},
        {"a typed character steps on too", "9", {B::DpadUp}, " "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PadControls pads = Connected();
        std::string text = c.before;
        std::uint32_t now = 0;
        pads.Frame(PadContext::Text, now, text);
        for (B b : c.presses) {
            pads.Observe(Button(b, true));
            for (std::uint8_t ch : pads.Frame(PadContext::Text, now += 12, text)) {
                if (ch == 8) {
                    if (!text.empty()) text.pop_back();
                } else {
                    text.push_back(static_cast<char>(ch));
                }
            }
            pads.Observe(Button(b, false));
            pads.Frame(PadContext::Text, now += 12, text);
        }
        EXPECT_EQ(text, c.after);
    }
}

TEST(PadControls, TheControllerInUseIsTheLastOneThatDidSomething) {
    PadControls pads;
    pads.Observe({PadEvent::Type::Added, 1, 0, 0});
    pads.Observe({PadEvent::Type::Added, 2, 0, 0});
    EXPECT_EQ(pads.Connected(), 2);
    EXPECT_EQ(pads.InUse(), 1);
    pads.Observe({PadEvent::Type::Button, 2, static_cast<int>(PadButton::A), 1});
    EXPECT_EQ(pads.InUse(), 2);
    // A stick at rest or a small wobble does not take it over.
    pads.Observe({PadEvent::Type::Axis, 1, static_cast<int>(PadAxis::LeftX), 3000});
    EXPECT_EQ(pads.InUse(), 2);
    // Behind another window nothing stays held.
    pads.Frame(PadContext::Race, 0, "");
    EXPECT_EQ(StatesOf(pads), std::vector<int>{kStateUp});
    pads.ReleaseAll();
    pads.Frame(PadContext::Race, 12, "");
    EXPECT_TRUE(StatesOf(pads).empty());
    pads.Observe({PadEvent::Type::Removed, 1, 0, 0});
    EXPECT_FALSE(pads.TakeInUseLost());
    pads.Observe({PadEvent::Type::Removed, 2, 0, 0});
    EXPECT_TRUE(pads.TakeInUseLost());
    EXPECT_FALSE(pads.TakeInUseLost());
    EXPECT_EQ(pads.Connected(), 0);
    EXPECT_EQ(pads.InUse(), -1);
}

}  // namespace
}  // namespace vrumbal
