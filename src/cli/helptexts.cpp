// The --help texts of lcjtool.
#include "helptexts.h"

namespace lcj::cli::help {

// What every command that takes several files says about them.
const QString several = QStringLiteral(
    "  带 ... 处可给多个文件或文件夹（文件夹代表其中该种类的文件）：结果逐个输出，\n"
    "  每个前面有一行“==> 文件名 <==”；FILE 或 -o 给出时须是文件夹，每个文件的结果\n"
    "  写成其中的同名文件（.csv/.json；剧本保持原名）。退出码取各文件中最差的一个。\n");

const QString top =
    QStringLiteral("用法: lcjtool <命令> ...\n"
                   "  data export DATA.e5 TABLE [--format csv|json] [-o FILE]\n"
                   "  data import DATA.e5 TABLE FILE [--dry-run]\n"
                   "  save export Sv??d.e5s... FILE [--part characters|stock|loyalty]\n"
                   "  save import Sv??d.e5s FILE [--part characters|stock|loyalty]\n"
                   "  imsg export Imsg.e5... CATEGORY FILE\n"
                   "  imsg import Imsg.e5 CATEGORY FILE\n"
                   "  exe show Lcj5.exe... [--part figures|switch] [-o FILE]\n"
                   "  exe set Lcj5.exe FILE [--part figures|switch]\n"
                   "  rfile show R_??.eex... [-o FILE]\n"
                   "  rfile set R_??.eex FILE\n"
                   "  scenario show S.eex... [--data DATA.e5] [-o FILE]\n"
                   "  scenario edit S.eex... EDITS.json [--data DATA.e5] [-o OUT.eex]\n"
                   "  scenario map S.eex --map MAP.bmp -o OUT.png [--zoom 1-6] [--data DATA.e5]\n"
                   "  diff data|save|imsg|scenario|exe|rfile A B\n"
                   "  patch make|apply|revert|show ...\n"
                   "  mods add|remove|list|enable|disable|order|apply|restore|undo|conflicts ...\n"
                   "  check GAME\n"
                   "  --version\n"
                   "  diff KIND A... FOLDER\n"
                   "TABLE: characters, items, shops, troops, terrain, strategies\n"
                   "CATEGORY: liezhuan, wuping, binzhong, chetui, zhiming, chelue, zandou\n"
                   "导入（import/set）都可加 --dry-run：只检查，不写入。\n"
                   "输出文件为 - 时输出到标准输出；输出不会写到游戏文件、读入的文件、\n"
                   "文件夹或设备上（scenario edit -o 只写到剧本文件名上）。\n"
                   "每一级都可加 --help。退出码: 0 成功, 1 数据或校验错误, 2 用法错误。\n") +
    several;

const QString data =
    QStringLiteral("用法:\n"
                   "  lcjtool data export DATA.e5 TABLE [--format csv|json] [-o FILE]\n"
                   "      FILE 为 - 或不给时输出到标准输出。\n"
                   "      每条记录一行，第一列“序号”是记录号，其余各列以窗口中的标题为列名。\n"
                   "  lcjtool data import DATA.e5 TABLE FILE [--dry-run]\n"
                   "      同样的列（缺少的列保留原值）；先按各栏目自己的规则检查每一行，\n"
                   "      有任何一格不对就报告行、列和原因，什么也不写。\n");

const QString diff =
    QStringLiteral("用法: lcjtool diff KIND A B\n"
                   "  以字段列出两个文件的差别，例如“人物 5 武力: 74 → 76”。\n"
                   "  相同时退出码为0，不同时为1。\n"
                   "  KIND: data, save, imsg, scenario, exe, rfile\n"
                   "      lcjtool diff KIND A... FOLDER\n"
                   "  A中的每个文件（或文件夹中该种类的每个文件）与FOLDER中的同名文件比较，\n"
                   "  每对前面有一行“==> A 与 B <==”，相同的写“相同”；A是一个文件夹时，\n"
                   "  只有一边有的文件也列出。有任何不同或缺少时退出码为1。\n");

const QString save =
    QStringLiteral(
        "用法:\n"
        "  lcjtool save export Sv??d.e5s... FILE [--part characters|stock|loyalty]\n"
        "  lcjtool save import Sv??d.e5s FILE [--part characters|stock|loyalty] [--dry-run]\n"
        "  FILE为 - 时导出到标准输出。各部分的列（以存档窗口中的标题为列名）:\n"
        "    characters（默认）: 序号, 人物（只读）, 形象, 头像, 攻击, 防御, 精神, 爆发, 士气,\n"
        "      HP值, MP值, 武力, 统率, 智力, 敏捷, 运气（以上五项为窗口显示的加倍值）, 等级, "
        "经验,\n"
        "      出阵, 撤退, 武具等级, 武具经验, 防具等级, 防具经验, 武具, 防具, 辅助（道具序号，\n"
        "      255为无）, 兵种（兵种序号）, 强行加入我军（1或0）\n"
        "    stock: 序号, 道具（只读）, 数量\n"
        "    loyalty: 序号, 忠奸度\n"
        "  导入时每一行都像在窗口中选中后改写并按“确定”一样检查，有任何一格不对就什么也不写。\n") +
    several;

const QString imsg =
    QStringLiteral(
        "用法:\n"
        "  lcjtool imsg export Imsg.e5... CATEGORY FILE\n"
        "  lcjtool imsg import Imsg.e5 CATEGORY FILE [--dry-run]\n"
        "  CATEGORY: liezhuan（人物列传）, wuping（物品说明）, binzhong（兵种简介）,\n"
        "    chetui（撤退台词）, zhiming（致命一击）, chelue（策略说明）, zandou（战斗简介）\n"
        "  列: 序号, 名称/致命一击台词类型对应值/战斗（只读，撤退台词没有这一列）,\n"
        "    以及以类别标题为列名的文字（换行照原样，最多200字节GBK）。FILE为 - "
        "时导出到标准输出。\n") +
    several;

const QString exe =
    QStringLiteral(
        "用法:\n"
        "  lcjtool exe show Lcj5.exe... [--part figures|switch] [-o FILE]\n"
        "  lcjtool exe set Lcj5.exe FILE [--part figures|switch] [--dry-run]\n"
        "  figures（默认）: 序号, 人物（只读）, 形象（0到29为专用形象，30为普通人物形象）\n"
        "  switch: 序号, 敌军小兵自动升级兵种（1开，0关）\n") +
    several;

const QString rfile =
    QStringLiteral(
        "用法:\n"
        "  lcjtool rfile show R_??.eex... [-o FILE]\n"
        "  lcjtool rfile set R_??.eex FILE [--dry-run]\n"
        "  列: 序号（0）, 本关出场人数, 强制出场人员1..5, 限制出场人员1..5（窗口中的十一个框）\n") +
    several;

const QString scenario =
    QStringLiteral(
        "用法:\n"
        "  lcjtool scenario show S.eex... [--data DATA.e5] [-o FILE]\n"
        "      以JSON列出剧本编辑器读入后显示的内容: battle {level_bonus, turns, victory, "
        "defeat},\n"
        "      allies（20个）与 enemies（80个）{character, name, mode, x, y, facing, level_bonus,\n"
        "      tendency, follow, run_x, run_y}, army [{x, y, facing, mode}],\n"
        "      equipment（100个）{character, name, weapon, armour, accessory},\n"
        "      spoils [[第一, 第二, 第三]], problems。mode: 0 初始登场, 1 剧情控制, null 未选；\n"
        "      物品为序号，null为无；没有 --data 时 name 为 null。\n"
        "  lcjtool scenario edit S.eex... EDITS.json [--data DATA.e5] [-o OUT.eex]\n"
        "      EDITS 用同样的键，例如 {\"allies\": {\"3\": {\"x\": 5}}}: "
        "选中友军3，把横坐标改为5，\n"
        "      按“确定”，其余框保持选中时显示的值。依次执行 battle, allies, enemies,\n"
        "      append_army（追加的人数）, army, spoils（{\"0\": [7, null, 104]}）, equipment，\n"
        "      然后像“保存剧本文件”一样保存（到OUT，或原文件）。任何一项被拒绝就什么也不写。\n"
        "  lcjtool scenario map S.eex --map MAP.bmp -o OUT.png [--zoom 1-6] [--data DATA.e5]\n"
        "      把出场人物画在战场地图上存为PNG（默认放大3倍），与剧本编辑器“战场地图”的标记相同:\n"
        "      蓝色我军、绿色友军、红色敌军，数字为列表中的序号（从1起），空心为非初始登场，\n"
        "      虚线箭头指向奔向的坐标；不在地图范围内的人物列在图例下方。\n") +
    several;

const QString check = QStringLiteral(
    "用法: lcjtool check GAME\n"
    "  检查游戏目录GAME中的每个游戏文件（不写入任何文件），每处问题一行，\n"
    "  例如“S_01.eex: 敌军 3 人物编号：人物编号600超出了data.e5的人物表…”：\n"
    "  编辑器保存时会拒绝的已存数值、超出data.e5人物/道具/兵种表的编号、\n"
    "  不是有效GBK编码的文字、编辑器无法读取的文件（及原因）。\n"
    "  退出码: 0 没有问题, 1 有问题, 2 目录无法读取（不存在、不是文件夹、没有游戏文件）。\n"
    "  参数有误时退出码也是2；报告没能全部写出时为3。GAME以“-”开头时写在 -- 之后。\n");

const QString mods = QStringLiteral(
    "用法:\n"
    "  lcjtool mods add GAME NAME.lcjpatch...   把补丁加入 GAME 的模组列表（排在最后）\n"
    "  lcjtool mods remove GAME NAME            从列表中去掉\n"
    "  lcjtool mods list GAME                   按加载顺序列出\n"
    "  lcjtool mods enable|disable GAME NAME    打开或关闭一个模组\n"
    "  lcjtool mods order GAME NAME POSITION    移到第 POSITION 位（1 = 最先）\n"
    "  lcjtool mods apply GAME [--dry-run] [--keep-mine | --drop-mine]\n"
    "      从原版起依次用上打开的模组（同一栏后面的为准），再加上“我的修改”，\n"
    "      所有文件一起写入或都不写；之后检查文件夹并列出问题\n"
    "  lcjtool mods restore GAME [--keep-mine | --drop-mine]   恢复原版\n"
    "  lcjtool mods undo GAME                   撤销上次应用\n"
    "  lcjtool mods conflicts GAME              列出被两个以上模组改动的栏\n"
    "  在模组列表之外改过的地方：不加选项时列出它们，什么也不写（退出码 1）；\n"
    "  --keep-mine 把它们留作“我的修改”，--drop-mine 丢掉它们。\n"
    "  退出码: 0 成功, 1 有问题或被拒绝, 2 用法错误。\n");

} // namespace lcj::cli::help
