#include <gtest/gtest.h>

#include <vector>

#include "map/scene/GLObject.h"

namespace {

// Notes its number when it goes.
class CNoted : public CGLObject {
public:
    CNoted(int number, std::vector<int>* gone) : m_number(number), m_gone(gone) {}
    ~CNoted() override { m_gone->push_back(m_number); }

private:
    int m_number;
    std::vector<int>* m_gone;
};

}  // namespace

TEST(SceneGraph, OwnsItsChildrenAndDeletesTheLastFirst)
{
    std::vector<int> gone;
    std::vector<int> expected;
    {
        CGLGroup root;
        // past two growth steps of the child array
        for (int i = 0; i < 40; ++i)
            root.AddChild(new CNoted(i, &gone));
        root.AddChild(nullptr);
        ASSERT_EQ(40, root.GetChildCount());
        for (int i = 0; i < 40; ++i)
            EXPECT_EQ(&root, root.GetChild(i)->GetParent());
        EXPECT_EQ(nullptr, root.GetChild(40));
        EXPECT_EQ(nullptr, root.GetChild(-1));

        auto* inner = new CGLGroup;
        inner->AddChild(new CNoted(100, &gone));
        root.AddChild(inner);
        EXPECT_TRUE(gone.empty());
    }
    expected.push_back(100);
    for (int i = 39; i >= 0; --i)
        expected.push_back(i);
    EXPECT_EQ(expected, gone);

    gone.clear();
    CGLObject object;
    object.AddChild(new CNoted(1, &gone));
    object.AddChild(new CNoted(2, &gone));
    object.DeleteChildren();
    EXPECT_EQ(std::vector<int>({2, 1}), gone);
    EXPECT_EQ(0, object.GetChildCount());
    EXPECT_EQ(nullptr, object.GetChild(0));
    object.AddChild(new CNoted(3, &gone));
    EXPECT_EQ(1, object.GetChildCount());
}
