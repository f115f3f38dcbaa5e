#include "nametables.h"

namespace lcj::names {

QStringList fromTable(std::initializer_list<const char16_t*> entries) {
    QStringList list;
    list.reserve(static_cast<qsizetype>(entries.size()));
    for (const char16_t* e : entries)
        list.append(QString::fromUtf16(e));
    return list;
}

const QStringList& troopTypes() {
    static const QStringList list = fromTable({
        u"群雄",     u"英雄",   u"霸王",   u"轻步兵", u"重步兵",   u"近卫兵",   u"弓兵",
        u"弩兵",     u"连弩兵", u"轻骑兵", u"重骑兵", u"亲卫队",   u"弓骑兵",   u"弩骑兵",
        u"连弩骑兵", u"轻炮车", u"重炮车", u"霹雳车", u"武术家",   u"拳士",     u"拳圣",
        u"贼兵",     u"义贼",   u"豪杰",   u"策士",   u"参谋",     u"军师",     u"风水士",
        u"方术士",   u"仙术士", u"道士",   u"幻术士", u"妖术士",   u"骑马策士", u"骑马参谋",
        u"骑马军师", u"舞娘",   u"舞姬",   u"巫女",   u"西凉骑兵", u"黄巾军",   u"海盗",
        u"驯熊师",   u"驯虎师", u"都督",   u"咒术士", u"仙人",     u"辎重队",   u"粮草队",
        u"木人",     u"土偶",   u"皇帝",   u"百姓",
    });
    return list;
}

const QStringList& equipmentKinds() {
    static const QStringList list = fromTable({
        u"普通剑",
        u"特殊剑",
        u"普通枪",
        u"特殊枪",
        u"普通弓",
        u"特殊弓",
        u"普通棍",
        u"特殊棍",
        u"普通投石机",
        u"特殊投石机",
        u"普通扇",
        u"特殊扇",
        u"普通宝剑",
        u"特殊宝剑",
        u"普通铠",
        u"特殊铠",
        u"普通衣服",
        u"特殊衣服",
    });
    return list;
}

const QStringList& troopClasses() {
    static const QStringList list = fromTable({
        u"群雄",   u"步兵",   u"弓兵",   u"骑兵",   u"弓骑兵",   u"炮车",   u"武术家",
        u"贼兵",   u"策士",   u"风水士", u"道士",   u"骑马策士", u"舞娘",   u"西凉骑兵",
        u"黄巾军", u"海盗",   u"驯熊师", u"驯虎师", u"都督",     u"咒术士", u"仙人",
        u"辎重队", u"粮草队", u"木人",   u"土偶",   u"皇帝",     u"百姓",
    });
    return list;
}

const QStringList& terrains() {
    static const QStringList list = fromTable({
        u"平原", u"草原", u"树林", u"荒地", u"山地", u"岩山", u"山崖", u"雪原", u"桥梁", u"浅滩",
        u"沼泽", u"池塘", u"小河", u"大河", u"栅栏", u"城墙", u"城内", u"城门", u"城池", u"关隘",
        u"鹿砦", u"村落", u"兵营", u"民居", u"宝库", u"水池", u"火",   u"船",   u"祭坛", u"地下",
    });
    return list;
}

const QStringList& strategies() {
    static const QStringList list = fromTable({
        u"灼热", u"烈火", u"火阵",   u"火龙",   u"爆焰",   u"浊流", u"激流", u"水阵", u"水龙",
        u"海啸", u"旋风", u"龙卷",   u"风阵",   u"风龙",   u"砂暴", u"落石", u"山岚", u"地阵",
        u"地龙", u"巨岩", u"诱惑",   u"晕眩",   u"谍报",   u"钝兵", u"钝队", u"虚脱", u"厌战",
        u"压迫", u"威吓", u"咒骂",   u"挑拨",   u"谎报",   u"谎言", u"毒烟", u"毒雾", u"定身",
        u"定军", u"封咒", u"八阵图", u"小补给", u"大补给", u"援队", u"援军", u"输送", u"建言",
        u"献策", u"觉醒", u"大觉醒", u"强行",   u"练兵",   u"练队", u"昂扬", u"欢声", u"奋起",
        u"鼓舞", u"坚固", u"强阵",   u"回归",   u"豪雨",   u"晴明", u"昙天", u"气合", u"冥想",
        u"霸气", u"青龙", u"朱雀",   u"玄武",   u"白虎",
    });
    return list;
}

const QStringList& consumables() {
    static const QStringList list = fromTable({
        u"恢复用豆",
        u"恢复用米",
        u"恢复用桃",
        u"神秘水",
        u"神秘酒",
        u"解毒药",
        u"兴奋剂",
        u"膏药",
        u"止咳药",
        u"万能药",
        u"印绶",
        u"武力果",
        u"智力果",
        u"统率力果",
        u"敏捷果",
        u"好运果",
        u"经验果",
    });
    return list;
}

const QStringList& battles() {
    static const QStringList list = fromTable({
        u"颍川之战",          u"汜水关之战",
        u"虎牢关之战",        u"董卓追击战",
        u"青州黄巾讨伐战",    u"徐州复仇战",
        u"濮阳之战",          u"濮阳之战  贰",
        u"濮阳之战  叁",      u"献帝救出战",
        u"张绣讨伐战",        u"袁术讨伐战",
        u"张绣讨伐战  贰",    u"徐州救援战",
        u"吕布包围战",        u"徐州入侵战",
        u"白马之战",          u"延津之战",
        u"官渡之战",          u"仓亭之战",
        u"穰山之战",          u"黎阳之战",
        u"邺城之战",          u"南皮攻略战",
        u"柳城平定战",        u"博望坡之战",
        u"长阪坡之战",        u"赤壁之战 (有郭嘉)",
        u"赤壁之战 (无郭嘉)", u"赤壁突围战",
        u"合淝之战",          u"马超迎击战",
        u"张鲁讨伐战 (红)",   u"逍遥津之战 (红)",
        u"濡须口之战 (红)",   u"定军山之战 (红)",
        u"汉水之战 (红)",     u"斜谷之战 (红)",
        u"樊城救援战 (红)",   u"阳平关之战 (红)",
        u"剑阁之战 (红)",     u"成都入侵战 (红)",
        u"白帝城之战 (红)",   u"赤壁之战  贰 (红)",
        u"濡须口之战 (红)",   u"建业入侵战 (红)",
        u"定军山之战 (蓝)",   u"麦城救援战 (蓝)",
        u"江陵之战 (蓝)",     u"赤壁之战  贰 (蓝)",
        u"濡须口之战 (蓝)",   u"建业入侵战 (蓝)",
        u"鱼腹浦之战 (蓝)",   u"白帝城之战 (蓝)",
        u"剑阁之战 (蓝)",     u"阳平关之战 (蓝)",
        u"五丈原之战 (蓝)",   u"五丈原之战  贰 (蓝)",
    });
    return list;
}

const QStringList& characters() {
    // Our own invented names, standing in until names are taken from a data file.
    static const QStringList list = fromTable({
        u"楚峻若", u"卫衡",   u"云明",   u"岚屿衡", u"沈瑶",   u"沈宸霁", u"霍芷穆", u"沈远",
        u"谢澜星", u"顾明明", u"方晗宸", u"韩芷晗", u"温渊",   u"陆芷溪", u"霍明昭", u"云璇",
        u"白澄",   u"宁朗砚", u"林屿",   u"川舟鸿", u"顾晗昭", u"柳远",   u"洛屿",   u"云逸寒",
        u"川晗松", u"江霁衡", u"云瑶",   u"卫墨",   u"方溪屿", u"顾屿",   u"川若霁", u"霍风",
        u"白衡松", u"宁松逸", u"叶明澜", u"谢澜",   u"霍朗澜", u"顾溪寒", u"洛瑶",   u"白瑶璇",
        u"方霁",   u"萧清星", u"顾明",   u"沈砚芷", u"姜明鸿", u"宁星",   u"谢岳鸿", u"叶岑",
        u"温渊晗", u"温昭若", u"阮明溪", u"卫穆穆", u"卫澜琳", u"宁松岑", u"韩霁",   u"白寒",
        u"姜瑶晗", u"凌昭",   u"川明朗", u"姜昭清", u"卫寒屿", u"韩琳墨", u"顾岳渊", u"卫屿明",
        u"云岩",   u"林澄远", u"楚澄",   u"姜岑澜", u"楚衡墨", u"叶渊",   u"叶宸璇", u"姜澄寒",
        u"川瑶霁", u"谢瑶溪", u"姜宸",   u"洛霁",   u"宁清芷", u"韩临",   u"方寒风", u"陆风",
        u"谢岳若", u"柳舟璇", u"韩穆",   u"秦逸澜", u"秦临",   u"柳穆",   u"云渊星", u"川舟岩",
        u"霍松宸", u"沈琳",   u"云芷岳", u"沈宸衡", u"云寒",   u"叶琳朗", u"岚远",   u"霍星逸",
        u"江松",   u"韩溪",   u"苏晗瑶", u"岚溪若", u"苏风琳", u"霍墨星", u"江澜",   u"阮星芷",
        u"林砚",   u"姜昭",   u"谢若风", u"川衡",   u"柳昭",   u"楚晗澄", u"苏砚逸", u"方临朗",
        u"江明朗", u"沈星渊", u"林昭璇", u"叶青",   u"洛昭砚", u"顾松清", u"阮晗松", u"温远",
        u"温宸",   u"云芷临", u"萧远远", u"洛峻",   u"岚澄澜", u"顾墨",   u"洛岳若", u"白晗",
        u"沈鸿",   u"霍璇",   u"沈霁岑", u"顾霁",   u"岚瑶",   u"谢璇青", u"宁砚",   u"苏鸿松",
        u"叶若",   u"白霁霁", u"阮明",   u"方远",   u"白岳舟", u"宁松渊", u"秦琳",   u"柳星逸",
        u"凌岩朗", u"楚清峻", u"阮寒",   u"陆朗",   u"白星穆", u"阮舟",   u"陆琳",   u"云鸿砚",
        u"白岩清", u"韩昭墨", u"宁临岩", u"楚星若", u"苏渊",   u"江临",   u"姜砚",   u"林松",
        u"温昭舟", u"谢岳",   u"谢临朗", u"温墨",   u"秦朗",   u"林朗",   u"白星璇", u"秦朗宸",
        u"姜芷",   u"苏岩寒", u"顾寒朗", u"江璇岳", u"宁临",   u"秦屿琳",
    });
    return list;
}

const QStringList& items() {
    // Weapons 0..35, armour 36..50, accessories 51..86, consumables 87..103.
    static const QStringList list = fromTable({
        u"短剑",   u"大剑",     u"钢剑",     u"青锋剑",   u"流云剑",   u"寒川剑",   u"短枪",
        u"长枪",   u"铁枪",     u"破阵枪",   u"银霜枪",   u"苍龙枪",   u"短弓",     u"长弓",
        u"铁胎弓", u"落雁弓",   u"追星弓",   u"岚风弓",   u"木棍",     u"铁棍",     u"齐眉棍",
        u"伏虎棍", u"流星棍",   u"震岳棍",   u"投石车",   u"霹雳车",   u"飞石车",   u"羽扇",
        u"白羽扇", u"鹤翎扇",   u"铁扇",     u"云纹扇",   u"宝剑",     u"七星剑",   u"照影剑",
        u"川岚剑", u"布衣",     u"皮衣",     u"皮铠",     u"锁子铠",   u"铁铠",     u"明光铠",
        u"山纹铠", u"玄甲",     u"岚川铠",   u"道袍",     u"青衫",     u"云锦衣",   u"鹤氅",
        u"霓裳",   u"仙羽衣",   u"铜镜",     u"玉佩",     u"护符",     u"兵法书",   u"孙子兵法",
        u"六韬",   u"三略",     u"太平要术", u"青囊书",   u"遁甲天书", u"赤兔马",   u"的卢",
        u"绝影",   u"爪黄飞电", u"玉玺",     u"铜雀",     u"护心镜",   u"虎符",     u"将印",
        u"令旗",   u"战鼓",     u"号角",     u"香囊",     u"玉带",     u"锦囊",     u"夜明珠",
        u"灵芝",   u"护腕",     u"铁靴",     u"翡翠环",   u"琥珀坠",   u"木牌",     u"竹简",
        u"星图",   u"罗盘",     u"风铃",     u"恢复用豆", u"恢复用米", u"恢复用桃", u"神秘水",
        u"神秘酒", u"解毒药",   u"兴奋剂",   u"膏药",     u"止咳药",   u"万能药",   u"印绶",
        u"武力果", u"智力果",   u"统率力果", u"敏捷果",   u"好运果",   u"经验果",
    });
    return list;
}

} // namespace lcj::names
