#include "datanames.h"

#include "common/nametables.h"

namespace lcj::data::lists {

using names::fromTable;

const QStringList& specialEffects() {
    static const QStringList list = fromTable({
        u"每回合恢复HP(分数)",
        u"每回合恢复MP(整数)",
        u"每回合恢复状态",
        u"每回合获得Exp(整数)",
        u"每回合获得武器Exp(整数)",
        u"每回合获得护具Exp(整数)",
        u"辅助攻击力(整数)",
        u"辅助精神力(整数)",
        u"辅助防御力(整数)",
        u"辅助爆发力(整数)",
        u"辅助士气(整数)",
        u"辅助HP(整数)",
        u"辅助MP(整数)",
        u"辅助获得Exp(实际经验)",
        u"辅助移动力(整数)",
        u"突击移动",
        u"恶路移动",
        u"混乱攻击",
        u"中毒攻击",
        u"麻痹攻击",
        u"封杀策略",
        u"辅助攻击命中",
        u"遇反击后反击",
        u"致命一击攻击",
        u"远距攻击(攻击范围)",
        u"穿透攻击(攻击范围)",
        u"无反击攻击",
        u"骑马攻击(百分数)",
        u"引导攻击",
        u"辅助火类策略(百分数)",
        u"辅助风类策略(百分数)",
        u"节约MP(分数)",
        u"可以禁咒",
        u"策略模仿",
        u"辅助策略命中(百分数)",
        u"辅助攻击防御(百分数)",
        u"辅助策略防御(百分数)",
        u"辅助全防御(百分数)",
        u"防御远距攻击",
        u"防御致命一击",
        u"防御两次攻击",
        u"减轻策略损伤(百分数)",
        u"MP辅助防御",
        u"减轻远距损伤(百分数)",
        u"自动使用豆",
        u"无",
    });
    return list;
}

const QStringList& consumableEffects() {
    static const QStringList list = fromTable({
        u"恢复HP",
        u"恢复MP",
        u"治疗混乱",
        u"治疗中毒",
        u"治疗麻痹",
        u"治疗禁咒",
        u"恢复状态",
        u"武力上升",
        u"智力上升",
        u"统率力上升",
        u"敏捷上升",
        u"士气上升",
        u"等级上升",
        u"兵种上升",
    });
    return list;
}

const QStringList& suitableClasses() {
    static const QStringList list = names::troopClasses() + QStringList{QStringLiteral("所有兵种")};
    return list;
}

const QStringList& attackRanges() {
    static const QStringList list = fromTable({
        u"群雄 轻骑兵等",
        u"步兵等",
        u"弓兵 弩骑兵",
        u"弩兵等",
        u"连弩兵",
        u"爆炎时的攻击范围",
        u"没羽箭(方块延伸1)",
        u"轻炮车",
        u"霹雳车",
        u"弓骑兵",
        u"全屏幕",
        u"皇帝 无攻击",
        u"大没羽箭(方块延伸2)",
        u"大大没羽箭(方块延伸3)",
        u"比较特殊的形状",
        u"大方块",
    });
    return list;
}

const QStringList& castingRanges() {
    static const QStringList list = [] {
        QStringList l = attackRanges();
        l[11] = QStringLiteral("自己");
        return l;
    }();
    return list;
}

const QStringList& strategyTargets() {
    static const QStringList list = fromTable({u"敌方", u"本方", u"天气"});
    return list;
}

const QStringList& effectAreas() {
    static const QStringList list = fromTable({
        u"灼热等",
        u"火阵等",
        u"风阵,朱雀等",
        u"同没羽箭的攻击范围",
        u"蛇矛效果范围",
        u"爆炎效果范围",
        u"青龙效果范围",
    });
    return list;
}

const QStringList& terrainClasses() {
    static const QStringList list = fromTable({
        u"君主系", u"步兵系", u"弓兵系", u"骑兵系", u"弓骑系",   u"炮车系", u"武术家",
        u"贼兵系", u"策士系", u"风水士", u"道士系", u"骑马策士", u"舞娘",   u"西凉骑兵",
        u"黄巾军", u"海盗",   u"驯熊师", u"驯虎师", u"都督",     u"咒术士", u"仙人",
        u"辎重队", u"粮草队", u"木人",   u"土偶",   u"皇帝",     u"百姓",
    });
    return list;
}

} // namespace lcj::data::lists
