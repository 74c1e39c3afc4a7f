// The boundary command's answer as the CAD prints it in its history.
#include "cad/boundary_answer.h"

#include <gtest/gtest.h>

#include <optional>

namespace zelkan {
namespace {

TEST(BoundaryAnswer, TheCountAfterTheLastEchoOfTheCommand) {
    const struct {
        const char* name;
        const char* history;
        std::optional<int> made;
    } cases[] = {
        {"made", "コマンド: -boundary\r\n内側の点を指定 または [オプション(A)]: 1.0,2.0\r\nすべてを選択中...\r\n"
                 "内部の島を分析中...\r\n内側の点を指定 または [オプション(A)]: \r\nBOUNDARY は 1 個のポリラインを作成しました\r\n",
         1},
        {"nothing around the point",
         "コマンド: -boundary\r\n内側の点を指定 または [オプション(A)]: 9.0,9.0\r\n有効な境界が見つかりません。\r\n"
         "内側の点を指定 または [オプション(A)]: \r\nBOUNDARY は 0 個のポリラインを作成しました\r\n",
         0},
        {"in English", "Command: -BOUNDARY\nPick internal point: 1,2\nBOUNDARY created 2 polylines\n", 2},
        // A run before made one; this one made none.
        {"an earlier answer is not this one's",
         "コマンド: -boundary\r\nBOUNDARY は 1 個のポリラインを作成しました\r\nコマンド: ERASE\r\n"
         "コマンド: -boundary\r\n有効な境界が見つかりません。\r\nBOUNDARY は 0 個のポリラインを作成しました\r\n"
         "コマンド: _filedia 0\r\n",
         0},
        {"the command still asking", "コマンド: -boundary\r\n内側の点を指定 または [オプション(A)]: 1,2\r\n", std::nullopt},
        {"no echo of the command", "BOUNDARY は 1 個のポリラインを作成しました\r\n", std::nullopt},
        {"words not known here", "コマンド: -boundary\r\nBOUNDARY terminé\r\n", std::nullopt},
        {"empty", "", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(BoundaryPolylinesMade(c.history), c.made);
    }
}

}  // namespace
}  // namespace zelkan
