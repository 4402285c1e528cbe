#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/dx_draw.h"
#include "engine/sprite.h"
#include "engine/sprite_engine.h"

namespace vrumbal {
namespace {

// A sprite that writes its name into a log when it moves, draws or dies.
class Probe final : public TSprite {
public:
    Probe(TSprite* parent, std::vector<std::string>* log, std::string name, int w = 10, int h = 10)
        : TSprite(parent), log_(log), name_(std::move(name)) {
        Width = w;
        Height = h;
    }
    ~Probe() override { log_->push_back("~" + name_); }
    const std::string& Name() const { return name_; }
    // Called during this sprite's move step, e.g. to create a sibling mid-pass.
    std::function<void()> onMove;

protected:
    void MoveStep(int moveCount) override {
        log_->push_back("m" + name_ + std::to_string(moveCount));
        if (onMove) onMove();
    }
    void DrawSelf() override { log_->push_back("d" + name_); }

private:
    std::vector<std::string>* log_;
    std::string name_;
};

// A root bound to an 800 x 600 surface, with a log for its probes.
struct Tree {
    std::vector<std::string> log;  // first: the probes still write to it as the root goes
    TDXDraw draw{nullptr, nullptr};
    TSpriteEngine root;

    Tree() { root.SetSurface(&draw); }
    Probe* Add(const std::string& name, TSprite* parent = nullptr, int w = 10, int h = 10) {
        return TSprite::Create<Probe>(parent != nullptr ? *parent : root, &log, name, w, h);
    }
    // The names of the root's children in drawing order.
    std::string DrawOrder() const {
        std::string out;
        for (TSprite* s : root.DrawList()) out += static_cast<Probe*>(s)->Name();
        return out;
    }
    std::vector<std::string> Take() { return std::exchange(log, {}); }
};

TEST(SpriteTree, DrawOrderFollowsDepthAndInsertion) {
    struct Case {
        const char* name;
        std::vector<int> createZ;                // SetZ right after creating sprite a, b, c...
        std::vector<std::pair<int, int>> later;  // (sprite index, new Z) applied afterwards
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"equal depths: the later is drawn first", {0, 0, 0}, {}, "cba"},
        {"depth sorts before creation order", {3, 1, 2}, {}, "bca"},
        {"away and back goes beneath its equals", {0, 0, 0}, {{0, 5}, {0, 0}}, "acb"},
        {"setting the current depth does not reorder", {0, 0, 0}, {{1, 0}}, "cba"},
        {"raising puts it on top", {0, 0, 0}, {{2, 1}}, "bac"},
        {"negative depths go below", {0, 0, 0}, {{1, -1}}, "bca"},
        {"re-sorting lands in front of the new equals", {1, 2, 2}, {{0, 2}}, "acb"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Tree t;
        std::vector<Probe*> sprites;
        for (std::size_t i = 0; i < c.createZ.size(); ++i) {
            sprites.push_back(t.Add(std::string(1, static_cast<char>('a' + i))));
            sprites.back()->SetZ(c.createZ[i]);
        }
        for (auto [index, z] : c.later) sprites[static_cast<std::size_t>(index)]->SetZ(z);
        EXPECT_EQ(t.DrawOrder(), c.expected);
        t.root.DrawAll();
        std::string drawn;
        for (const auto& entry : t.Take()) drawn += entry.substr(1);
        EXPECT_EQ(drawn, c.expected);
    }
}

TEST(SpriteTree, MovePassRunsInCreationOrderAndSkipsFrozenSubtrees) {
    Tree t;
    Probe* a = t.Add("a");
    Probe* b = t.Add("b");
    t.Add("a1", a);
    t.Add("b1", b);
    a->SetZ(9);  // depth plays no part in moving
    t.root.Move(7);
    EXPECT_EQ(t.Take(), (std::vector<std::string>{"ma7", "ma17", "mb7", "mb17"}));

    a->MoveEnabled = false;
    t.root.Move(2);
    EXPECT_EQ(t.Take(), (std::vector<std::string>{"mb2", "mb12"}));
}

TEST(SpriteTree, SpritesCreatedDuringTheMovePassWaitForTheNextOne) {
    Tree t;
    Probe* a = t.Add("a");
    a->onMove = [&] {
        a->onMove = nullptr;
        t.Add("n");
    };
    t.root.Move(1);
    EXPECT_EQ(t.Take(), (std::vector<std::string>{"ma1"}));
    t.root.Move(1);
    EXPECT_EQ(t.Take(), (std::vector<std::string>{"ma1", "mn1"}));
}

TEST(SpriteTree, DrawPassDrawsOnlyBoxesStrictlyOverlappingTheSurface) {
    struct Case {
        double x, y;
        int w, h;
        bool drawn;
    };
    const std::vector<Case> cases = {
        {0, 0, 10, 10, true},
        {-10, 0, 10, 10, false},
        {-9, 0, 10, 10, true},
        {800, 0, 10, 10, false},
        {799, 599, 10, 10, true},
        {0, 600, 10, 10, false},
        {0, -10, 10, 10, false},
        // Positions round halves to even: -9.5 -> -10 touches, -8.5 -> -8 overlaps a box
        // 9 wide, and 799.5 -> 800 touches the right edge.
        {-9.5, 0, 10, 10, false},
        {-8.5, 0, 9, 10, true},
        {0, -8.5, 10, 9, true},
        {799.5, 0, 10, 10, false},
        {798.5, 0, 10, 10, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " " << c.w << "x" << c.h);
        Tree t;
        Probe* p = t.Add("p", nullptr, c.w, c.h);
        p->X = c.x;
        p->Y = c.y;
        t.root.DrawAll();
        EXPECT_EQ(!t.Take().empty(), c.drawn);
    }
}

TEST(SpriteTree, InvisibleSpriteHidesItsSubtreeFromDrawing) {
    Tree t;
    Probe* a = t.Add("a");
    t.Add("a1", a);
    Probe* b = t.Add("b");
    t.Add("b1", b);
    a->Visible = false;
    t.root.DrawAll();
    EXPECT_EQ(t.Take(), (std::vector<std::string>{"db", "db1"}));
}

TEST(SpriteTree, ChildrenDrawRelativeToTheirParents) {
    Tree t;
    Probe* a = t.Add("a");
    a->X = 700;
    a->Y = 10.25;
    Probe* child = t.Add("c", a);
    child->X = 50.5;
    child->Y = -3;
    EXPECT_DOUBLE_EQ(child->WorldX(), 750.5);
    EXPECT_DOUBLE_EQ(child->WorldY(), 7.25);
    EXPECT_EQ(child->BoundsRect(), (Rect{750, 7, 760, 17}));
    child->X = 100;  // now at 800: off the surface
    t.root.DrawAll();
    EXPECT_EQ(t.Take(), (std::vector<std::string>{"da"}));
}

TEST(SpriteTree, SpriteAtUsesASquareOfSideWidthWithInclusiveEdges) {
    struct Case {
        int x, y;
        bool hit;
    };
    // A 40 x 80 sprite at (100, 100).
    const std::vector<Case> cases = {
        {100, 100, true},  {140, 100, true},  {100, 140, true},  {140, 140, true},
        {120, 120, true},  {99, 100, false},  {100, 99, false},  {141, 120, false},
        {120, 141, false}, {120, 170, false}, {139, 179, false},
    };
    Tree t;
    Probe* p = t.Add("p", nullptr, 40, 80);
    p->X = 100;
    p->Y = 100;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        EXPECT_EQ(t.root.SpriteAt(c.x, c.y), c.hit ? p : nullptr);
    }
}

TEST(SpriteTree, SpriteAtPrefersTheGreatestDepthThenTheFirstMet) {
    Tree t;
    Probe* a = t.Add("a", nullptr, 20);
    Probe* b = t.Add("b", nullptr, 20);
    Probe* a1 = t.Add("a1", a, 20);
    // All three cover (5, 5) at depth 0: the parent is met first.
    EXPECT_EQ(t.root.SpriteAt(5, 5), a);
    b->SetZ(1);
    EXPECT_EQ(t.root.SpriteAt(5, 5), b);
    a1->SetZ(2);  // a child's depth competes with every sprite of the tree
    EXPECT_EQ(t.root.SpriteAt(5, 5), a1);
    a1->SetZ(1);  // equal to b: a1 was met first (a's subtree comes before b)
    EXPECT_EQ(t.root.SpriteAt(5, 5), a1);
    a1->Visible = false;
    EXPECT_EQ(t.root.SpriteAt(5, 5), b);
}

TEST(SpriteTree, SpriteAtFindsChildrenOfInvisibleParentsAndRoundsTheirPoint) {
    Tree t;
    Probe* parent = t.Add("p", nullptr, 100);
    parent->X = 10.5;
    parent->Visible = false;
    Probe* child = t.Add("c", parent, 10);
    // The point in the child's frame is x - 10.5, rounded with halves to even.
    EXPECT_EQ(t.root.SpriteAt(10, 5), child);    // -0.5 -> 0
    EXPECT_EQ(t.root.SpriteAt(21, 5), child);    // 10.5 -> 10
    EXPECT_EQ(t.root.SpriteAt(22, 5), nullptr);  // 11.5 -> 12
    EXPECT_EQ(t.root.SpriteAt(9, 5), nullptr);   // -1.5 -> -2
}

TEST(SpriteTree, KillQueuesOnceAndFreeKilledFreesTheLastQueuedFirst) {
    Tree t;
    Probe* a = t.Add("a");
    Probe* b = t.Add("b");
    Probe* c = t.Add("c");
    a->Kill();
    c->Kill();
    a->Kill();
    b->Kill();
    EXPECT_TRUE(a->Killed());
    EXPECT_EQ(t.root.KillList(), (std::vector<TSprite*>{a, c, b}));
    // A queued sprite is still moved and drawn until the clean-up.
    t.root.Move(1);
    EXPECT_EQ(t.Take().size(), 3u);
    t.root.FreeKilled();
    EXPECT_EQ(t.Take(), (std::vector<std::string>{"~b", "~c", "~a"}));
    EXPECT_EQ(t.root.ChildCount(), 0);
    EXPECT_TRUE(t.root.DrawList().empty());
    EXPECT_TRUE(t.root.KillList().empty());
}

TEST(SpriteTree, QueuedChildDestroyedWithItsParentLeavesTheKillList) {
    Tree t;
    Probe* p = t.Add("p");
    Probe* c1 = t.Add("c1", p);
    t.Add("c2", p);
    Probe* other = t.Add("o");
    c1->Kill();
    other->Kill();
    p->Kill();
    t.root.FreeKilled();
    // The parent goes first (queued last); its children go last-created first.
    EXPECT_EQ(t.Take(), (std::vector<std::string>{"~p", "~c2", "~c1", "~o"}));

    Probe* q = t.Add("q");
    Probe* q1 = t.Add("q1", q);
    q1->Kill();
    q->Free();
    EXPECT_TRUE(t.root.KillList().empty());
    EXPECT_EQ(t.Take(), (std::vector<std::string>{"~q", "~q1"}));
}

TEST(SpriteTree, DestroyingTheRootFreesEverySpriteLastChildFirst) {
    std::vector<std::string> log;
    {
        TSpriteEngine root;
        auto* a = TSprite::Create<Probe>(root, &log, "a");
        TSprite::Create<Probe>(*a, &log, "a1");
        TSprite::Create<Probe>(root, &log, "b")->Kill();
    }
    EXPECT_EQ(log, (std::vector<std::string>{"~b", "~a", "~a1"}));
}

TEST(SpriteTree, ChildAccessAndEngineLinks) {
    Tree t;
    EXPECT_EQ(t.root.ChildCount(), 0);
    try {
        t.root.Child(3);
        ADD_FAILURE() << "no error without children";
    } catch (const ESpriteError& e) {
        EXPECT_STREQ(e.what(), "Index of the list exceeds the range. (3)");
    }
    Probe* a = t.Add("a");
    Probe* a1 = t.Add("a1", a);
    EXPECT_EQ(t.root.Child(0), a);
    EXPECT_THROW(t.root.Child(1), std::out_of_range);
    EXPECT_THROW(t.root.Child(-1), std::out_of_range);
    EXPECT_EQ(a->Engine(), &t.root);
    EXPECT_EQ(a1->Engine(), &t.root);
    EXPECT_EQ(a1->Parent(), a);
    EXPECT_EQ(t.root.Engine(), nullptr);

    // A tree without an engine root has nowhere to queue: Kill does nothing.
    TSprite loose(nullptr);
    auto* orphan = TSprite::Create<Probe>(loose, &t.log, "x");
    orphan->Kill();
    EXPECT_FALSE(orphan->Killed());
}

TEST(SpriteEngineComponent, DrawsOnlyWhileItsSurfaceIsInitialised) {
    std::vector<std::string> log;
    auto draw = std::make_unique<TDXDraw>(nullptr, nullptr);
    TDXSpriteEngine component(draw.get());
    TSprite::Create<Probe>(component.Engine(), &log, "a");
    EXPECT_EQ(component.Engine().Surface(), nullptr);
    component.Draw();
    EXPECT_TRUE(log.empty());

    draw->Initialize();
    EXPECT_EQ(component.Engine().Surface(), draw.get());
    EXPECT_EQ(component.Engine().SurfaceRect(), (Rect{0, 0, 800, 600}));
    EXPECT_EQ(component.Engine().Width, 800);
    component.Draw();
    component.Move(4);
    EXPECT_EQ(log, (std::vector<std::string>{"da", "ma4"}));

    draw->Finalize();
    EXPECT_EQ(component.Engine().Surface(), nullptr);
    log.clear();
    component.Draw();
    EXPECT_TRUE(log.empty());

    draw->Initialize();
    draw.reset();
    EXPECT_EQ(component.DXDraw(), nullptr);
    EXPECT_EQ(component.Engine().Surface(), nullptr);
    component.Draw();
    EXPECT_TRUE(log.empty());
}

TEST(SpriteEngineComponent, BindingAnInitialisedSurfaceTakesItAtOnce) {
    TDXDraw first(nullptr, nullptr, 640, 480);
    TDXDraw second(nullptr, nullptr);
    first.Initialize();
    TDXSpriteEngine component;
    component.SetDXDraw(&first);
    EXPECT_EQ(component.Engine().Surface(), &first);
    EXPECT_EQ(component.Engine().SurfaceRect(), (Rect{0, 0, 640, 480}));
    component.SetDXDraw(&second);
    // The root lets go of the old surface, and the old surface no longer reaches the component.
    EXPECT_EQ(component.Engine().Surface(), nullptr);
    first.Initialize();
    EXPECT_EQ(component.Engine().Surface(), nullptr);
    second.Initialize();
    EXPECT_EQ(component.Engine().Surface(), &second);
}

}  // namespace
}  // namespace vrumbal
