#!/usr/bin/env python3
"""Generate the fictional Kovanta sample catalogue (five UTF-8 CSV files).

Everything here is invented: companies, brands, people, phone numbers,
addresses, web sites (reserved .example domain), bank accounts and tax
numbers.  The output is deterministic: running the script again gives
byte-identical files.

Usage:  python3 data/sample/make_sample.py [output-folder]
(the default output folder is the folder holding this script)
"""

import csv
import datetime
import os
import re
import sys
import random

rng = random.Random(20261207)

OUT_DIR = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))

N_COMPANIES = 150
N_PRODUCTS = 800
N_EXPIRED_LISTINGS = 6
N_EXPIRED_PRODUCTS = 10
N_SPARSE_COMPANIES = 10
N_PRICE_ON_REQUEST = 40

# Field limits in GBK bytes.
LIMITS = {
    "dataName": 31, "titlePart1": 19, "titlePart2": 19, "updateDate": 11,
    "updateHost": 255,
    "name": 59, "phone": 44, "fax": 14, "contact": 19, "address": 49,
    "postcode": 6, "website": 29, "email": 29, "bank": 29, "account": 29,
    "taxNumber": 29, "busRoutes": 29,
    "label": 31, "linkText": 19,
    "model": 29, "configuration": 101, "unit": 5, "origin": 7, "remarks": 21,
}

# ---------------------------------------------------------------------------
# Vocabulary (all invented)
# ---------------------------------------------------------------------------

# city, area code, postcode prefix, region code for tax numbers, invented districts
CITIES = [
    ("杭州", "0571", "310", "330100", ["澜湖区", "星桥区", "翠溪区"]),
    ("宁波", "0574", "315", "330200", ["明川区", "望澜区"]),
    ("温州", "0577", "325", "330300", ["泊云区", "金禾区"]),
    ("上海", "021", "200", "310100", ["青鹭区", "锦屏区", "梧桐区"]),
    ("南京", "025", "210", "320100", ["沐阳区", "东澜区"]),
    ("苏州", "0512", "215", "320500", ["枫澄区", "银杏区"]),
    ("无锡", "0510", "214", "320200", ["蠡波区", "启明区"]),
    ("合肥", "0551", "230", "340100", ["蓝湾区", "松汀区"]),
    ("福州", "0591", "350", "350100", ["榕屿区", "闽澄区"]),
    ("济南", "0531", "250", "370100", ["泉桥区", "历澜区"]),
]
CITY_WEIGHTS = [26, 14, 10, 24, 16, 14, 10, 12, 12, 12]

ROADS = ["文澜路", "新桥路", "望江路", "星桥路", "锦绣路", "翠柳路", "明川路",
         "青鹭路", "泊云路", "金禾路", "梧桐路", "沐阳路", "银杏路", "启明路",
         "东澜大道", "科创路", "学府路", "枫林路", "振华路", "惠民路", "长乐路",
         "安澜路", "聚贤路", "环翠路", "兴业路", "紫荆路", "春晖路", "云栖路"]
BUILDINGS = ["星辰大厦", "科贸大厦", "数码广场", "电子市场", "创业园", "银座大厦",
             "国贸中心", "信息港", "电脑城", "华澄大厦", "金桥商厦", "软件园",
             "科技楼", "商务中心", ""]
LANDMARKS = ["市体育中心", "新桥广场", "图书馆", "人民公园", "长途汽车站",
             "火车东站", "科技馆", "市民中心", "会展中心"]

# Trade-name syllables for company names: (hanzi, pinyin)
FIRST = [("恒", "heng"), ("博", "bo"), ("新", "xin"), ("睿", "rui"), ("嘉", "jia"),
         ("华", "hua"), ("信", "xin"), ("达", "da"), ("金", "jin"), ("天", "tian"),
         ("明", "ming"), ("卓", "zhuo"), ("立", "li"), ("万", "wan"), ("创", "chuang"),
         ("易", "yi"), ("通", "tong"), ("联", "lian"), ("佳", "jia"), ("鑫", "xin"),
         ("宏", "hong"), ("永", "yong"), ("盛", "sheng"), ("泰", "tai"), ("智", "zhi"),
         ("亿", "yi"), ("开", "kai"), ("朗", "lang"), ("凯", "kai"), ("汇", "hui")]
SECOND = [("远", "yuan"), ("达", "da"), ("创", "chuang"), ("信", "xin"), ("源", "yuan"),
          ("诚", "cheng"), ("科", "ke"), ("腾", "teng"), ("拓", "tuo"), ("邦", "bang"),
          ("航", "hang"), ("盛", "sheng"), ("宇", "yu"), ("辰", "chen"), ("泰", "tai"),
          ("锐", "rui"), ("捷", "jie"), ("峰", "feng"), ("诺", "nuo"), ("欣", "xin"),
          ("润", "run"), ("图", "tu"), ("丰", "feng"), ("晟", "sheng"), ("驰", "chi")]
# combinations that are avoided because they read like well-known names
AVOID = {"华为", "联想", "天宇", "华润", "万达", "金山", "明达", "创维", "宏达",
         "华信", "联通", "通达", "亿航", "泰诺", "易捷", "信诺", "华图", "开源",
         "新源", "天源", "金源", "万科", "华科", "联创", "佳源"}

COMPANY_TYPES = [
    # suffix, focus categories (indices into CATEGORIES), weight
    ("电脑有限公司", [0, 1, 3, 9], 20),
    ("数码科技有限公司", [0, 1, 3, 7, 9], 12),
    ("电子有限公司", [0, 1, 3, 4, 9], 8),
    ("科技有限公司", list(range(10)), 16),
    ("信息技术有限公司", [4, 8, 9, 0, 3], 12),
    ("计算机系统有限公司", [4, 8, 9, 0], 8),
    ("网络工程有限公司", [4, 8, 9], 8),
    ("办公设备有限公司", [2, 5, 6, 7, 3], 12),
    ("商贸有限公司", [2, 5, 6, 7, 1], 8),
]

SURNAMES = ["王", "李", "张", "刘", "陈", "杨", "黄", "赵", "吴", "周", "徐", "孙",
            "马", "朱", "胡", "郭", "何", "林", "罗", "高", "郑", "梁", "谢", "宋",
            "唐", "许", "韩", "冯", "邓", "曹", "彭", "曾", "沈", "叶", "蒋", "潘"]
GIVEN = ["志", "建", "晓", "文", "海", "春", "丽", "伟", "敏", "静", "国", "明",
         "华", "芳", "军", "婷", "涛", "燕", "勇", "琳", "子", "雨", "思", "昊",
         "嘉", "欣", "宇", "佳", "浩", "雪", "磊", "楠"]
TITLES = ["先生", "小姐", "女士", "经理", "总"]

BANKS = ["工商银行", "农业银行", "建设银行", "中国银行", "交通银行", "招商银行",
         "兴业银行", "浦发银行"]

EMAIL_USERS = ["sales", "info", "service", "kf", "contact", "market", "office"]

# Top level product names and the brand nodes under each.
CATEGORIES = ["台式电脑", "笔记本电脑", "打印机", "显示器", "网络设备",
              "办公用品", "扫描仪", "投影仪", "服务器", "存储设备"]
BRANDS_UNDER = {
    "台式电脑": ["星河", "华拓", "云帆", "朗曜", "博岳"],
    "笔记本电脑": ["星河", "华拓", "锐澜", "凌澈"],
    "打印机": ["蓝鲸", "墨川", "启衡", "飞岚"],
    "显示器": ["星河", "沐光", "极澄", "朗曜", "砚图"],
    "网络设备": ["翼纬", "银杉", "鸿翎", "瀚舟"],
    "办公用品": ["墨川", "青梧", "知隼", "启衡"],
    "扫描仪": ["蓝鲸", "砚图", "启衡"],
    "投影仪": ["沐光", "极澄", "飞岚", "青梧"],
    "服务器": ["华拓", "瀚舟", "银杉", "博岳"],
    "存储设备": ["瀚舟", "凌澈", "知隼"],
}
BRAND_CODE = {"星河": "XH", "华拓": "HT", "云帆": "YF", "朗曜": "LY", "博岳": "BY",
              "锐澜": "RL", "凌澈": "LC", "蓝鲸": "LJ", "墨川": "MC", "启衡": "QH",
              "飞岚": "FL", "沐光": "MG", "极澄": "JC", "砚图": "YT", "翼纬": "YW",
              "银杉": "YS", "鸿翎": "HL", "瀚舟": "HZ", "青梧": "QW", "知隼": "ZS"}

LINK_TEXTS = ["代理商", "经销商", "总代理", "授权经销商", "区域代理", "特约维修",
              "维修服务", "专卖店", "指定经销", "金牌代理", "", "", ""]
ROLES = ["授权经销商", "指定代理商", "特约经销商", "区域代理", "合作伙伴"]

ORIGINS = ["杭州", "深圳", "东莞", "苏州", "上海", "北京", "天津", "宁波",
           "合肥", "厦门", "进口"]
REMARKS = ["含税价", "三年保修", "一年保修", "现货", "送货上门", "含安装",
           "不含税", "批量另议", "限时促销", "两年保修", "预订", "样机特价",
           "", "", "", "", "", ""]

# ---------------------------------------------------------------------------
# Helpers
# ---------------------------------------------------------------------------

ERRORS = []


def require(cond, message):
    if not cond:
        ERRORS.append(message)


def gbk_len(text):
    return len(text.encode("gbk"))


def check_text(text, field, where):
    """Record an error if text is not GBK-encodable or too long for field."""
    try:
        n = gbk_len(text)
    except UnicodeEncodeError as exc:
        ERRORS.append("%s: %s is not encodable in GBK (%s)" % (where, field, exc))
        return
    if field in LIMITS:
        require(n <= LIMITS[field],
                "%s: %s is %d GBK bytes, limit %d: %r" % (where, field, n, LIMITS[field], text))


def fit(parts, limit, sep="/"):
    """Join as many leading parts as fit into limit GBK bytes."""
    out = []
    for p in parts:
        if not p:
            continue
        cand = sep.join(out + [p])
        if gbk_len(cand) <= limit:
            out.append(p)
    return sep.join(out)


def digits(n):
    return "".join(str(rng.randint(0, 9)) for _ in range(n))


def random_date(year_from, year_to):
    start = datetime.date(year_from, 1, 1).toordinal()
    end = datetime.date(year_to, 12, 31).toordinal()
    return datetime.date.fromordinal(rng.randint(start, end)).isoformat()


def live_expiry():
    if rng.random() < 0.6:
        return "2030-12-31"
    return random_date(2029, 2031)


def person_name():
    name = rng.choice(SURNAMES) + rng.choice(GIVEN)
    if rng.random() < 0.6:
        name += rng.choice(GIVEN)
    return name


def contact_name():
    r = rng.random()
    if r < 0.55:
        return rng.choice(SURNAMES) + rng.choice(TITLES)
    if r < 0.8:
        return person_name()
    return "%s、%s" % (rng.choice(SURNAMES) + "先生", rng.choice(SURNAMES) + "小姐")


def phone_number(area):
    return "%s-%s%s" % (area, rng.choice("5678"), digits(7))


def cjk_count(text):
    return sum(1 for ch in text if "\u4e00" <= ch <= "\u9fff")


# ---------------------------------------------------------------------------
# Catalogue header
# ---------------------------------------------------------------------------

catalogue = [{
    "dataName": "kovanta-it",
    "titlePart1": "华东",
    "titlePart2": "电脑商情",
    "updateDate": "2026-12-01",
    "updateHost": "",
}]

# ---------------------------------------------------------------------------
# Tree
# ---------------------------------------------------------------------------

tree = []
brand_nodes = []          # list of (path, category index, brand)
for ci, cat in enumerate(CATEGORIES):
    tree.append({"path": cat, "holds": "categories"})
    for brand in BRANDS_UNDER[cat]:
        path = cat + "/" + brand
        tree.append({"path": path, "holds": "companies"})
        brand_nodes.append((path, ci, brand))

# ---------------------------------------------------------------------------
# Companies (basic fields first; the introduction needs the listings)
# ---------------------------------------------------------------------------

trade_names = []
for f_hz, f_py in FIRST:
    for s_hz, s_py in SECOND:
        word = f_hz + s_hz
        if f_hz == s_hz or word in AVOID:
            continue
        trade_names.append((word, f_py + s_py))
rng.shuffle(trade_names)

companies = []
used_slugs = set()
used_names = set()
type_weights = [t[2] for t in COMPANY_TYPES]
sparse = set(rng.sample(range(N_COMPANIES), N_SPARSE_COMPANIES))
ti = 0
for i in range(N_COMPANIES):
    city, area, post3, region, districts = rng.choices(CITIES, weights=CITY_WEIGHTS)[0]
    suffix, focus, _ = rng.choices(COMPANY_TYPES, weights=type_weights)[0]
    while True:
        word, slug = trade_names[ti]
        ti += 1
        if slug in used_slugs:
            slug = slug + area[-2:]
        if len(slug) <= 10 and slug not in used_slugs:
            break
    used_slugs.add(slug)
    name = city + word + suffix
    require(name not in used_names, "duplicate company name " + name)
    used_names.add(name)

    district = rng.choice(districts)
    road = rng.choice(ROADS)
    building = rng.choice(BUILDINGS)
    floor = ""
    if building and rng.random() < 0.6:
        floor = rng.choice(["%d楼" % rng.randint(1, 12), "%d室" % rng.randint(101, 1808),
                            "%d号铺" % rng.randint(1, 240)])
    address = "%s市%s%s%d号%s%s" % (city, district, road, rng.randint(1, 888), building, floor)
    if gbk_len(address) > LIMITS["address"]:
        address = "%s市%s%s%d号%s" % (city, district, road, rng.randint(1, 888), building)

    phone = phone_number(area)
    if rng.random() < 0.35:
        phone += "," + phone_number(area).split("-")[1]
    fax = phone_number(area) if rng.random() < 0.85 else phone.split(",")[0]
    website = "http://www.%s.example" % slug
    email = "%s@%s.example" % (rng.choice(EMAIL_USERS), slug)

    if i in sparse:
        blanks = rng.sample(["fax", "website", "email"], rng.randint(1, 3))
    else:
        blanks = []

    bank = rng.choice(BANKS) + rng.choice(ROADS)[:-1] + rng.choice(["支行", "分理处"])
    if rng.random() < 0.2:
        tax = region + digits(9)                       # old style 15 digits
    else:
        alnum = "0123456789ABCDEFGHJKLMNPQRTUWXY"
        tax = "91" + region + "".join(rng.choice(alnum) for _ in range(10))
    routes = []
    for _ in range(rng.randint(1, 3)):
        r = rng.random()
        if r < 0.6:
            routes.append("%d路" % rng.randint(1, 399))
        elif r < 0.8:
            routes.append("%s%d路" % (rng.choice("KBY"), rng.randint(1, 199)))
        else:
            routes.append("地铁%d号线" % rng.randint(1, 9))
    bus = fit(list(dict.fromkeys(routes)), LIMITS["busRoutes"], "、")

    companies.append({
        "key": "C%03d" % (i + 1),
        "name": name,
        "phone": phone,
        "fax": "" if "fax" in blanks else fax,
        "contact": contact_name(),
        "address": address,
        "postcode": post3 + digits(3),
        "website": "" if "website" in blanks else website,
        "email": "" if "email" in blanks else email,
        "bank": bank,
        "account": rng.choice(["6222", "6228", "6217", "3301", "1202"]) + digits(rng.randint(12, 15)),
        "taxNumber": tax,
        "busRoutes": bus,
        "introduction": "",
        # private helpers (not written)
        "_city": city, "_district": district, "_road": road,
        "_focus": focus, "_short": city + word,
    })

# ---------------------------------------------------------------------------
# Listings
# ---------------------------------------------------------------------------

listed = {}               # node path -> list of company keys
for path, ci, brand in brand_nodes:
    cands = [c["key"] for c in companies if ci in c["_focus"]]
    k = min(rng.randint(3, 9), len(cands))
    listed[path] = rng.sample(cands, k)

covered = {key for keys in listed.values() for key in keys}
for c in companies:
    if c["key"] in covered:
        continue
    opts = [p for p, ci, b in brand_nodes if ci in c["_focus"] and len(listed[p]) < 12]
    if not opts:
        opts = [p for p, ci, b in brand_nodes if len(listed[p]) < 12]
    for p in rng.sample(opts, min(len(opts), rng.randint(1, 2))):
        listed[p].append(c["key"])

listings = []
for path, ci, brand in brand_nodes:
    for key in listed[path]:
        listings.append({"company": key, "node": path,
                         "linkText": rng.choice(LINK_TEXTS), "expires": live_expiry()})
for idx in rng.sample(range(len(listings)), N_EXPIRED_LISTINGS):
    listings[idx]["expires"] = random_date(2025, 2025)

# ---------------------------------------------------------------------------
# Product models per brand node
# ---------------------------------------------------------------------------

def desktop():
    cpu, base = rng.choice([("酷睿i3", 2600), ("酷睿i5", 3400), ("酷睿i7", 4900),
                            ("锐龙5", 3200), ("锐龙7", 4500), ("奔腾金牌", 2100)])
    mem = rng.choice(["8G内存", "16G内存", "32G内存"])
    disk = rng.choice(["256G固态", "512G固态", "1T固态", "512G固态+1T机械"])
    screen = rng.choice(["21.5英寸", "23.8英寸", "27英寸", "无显示器", "无显示器"])
    extra = rng.choice(["集成显卡", "独立显卡4G", "独立显卡8G", "商用机箱", "立式机箱"])
    base += {"16G内存": 300, "32G内存": 900}.get(mem, 0)
    base += {"无显示器": -600, "27英寸": 500}.get(screen, 0)
    base += {"独立显卡4G": 900, "独立显卡8G": 1800}.get(extra, 0)
    parts = [cpu, mem, disk, extra, screen, rng.choice(["正版系统", "三年上门保修", ""])]
    return ("D%d%d0" % (rng.randint(3, 9), rng.randint(1, 9)), parts, "台", base)


def laptop():
    cpu, base = rng.choice([("酷睿i5", 4300), ("酷睿i7", 5900), ("锐龙5", 3900),
                            ("锐龙7", 5200), ("酷睿Ultra5", 5600)])
    size, num = rng.choice([("13.3英寸", 13), ("14英寸", 14), ("15.6英寸", 15), ("16英寸", 16)])
    parts = [cpu, rng.choice(["16G内存", "32G内存"]), rng.choice(["512G固态", "1T固态"]),
             size, rng.choice(["2.5K屏", "1080P屏", "2.8K屏"]),
             rng.choice(["背光键盘", "指纹识别", "雷电4接口", "独立显卡", "轻薄金属机身"])]
    return ("N%d%s" % (num, rng.choice(["", " Pro", " Air", "S", "X", "0", "5"])),
            parts, "台", base)


def printer():
    kind, base = rng.choice([("A4黑白激光", 1100), ("A4彩色激光", 2300), ("A4彩色喷墨", 800),
                             ("A3黑白激光", 4200), ("针式打印", 1500), ("激光多功能一体机", 1900)])
    if kind == "针式打印":
        parts = [kind, rng.choice(["80列", "110列", "136列"]), rng.choice(["1+3联复写", "1+6联复写"]),
                 "连续进纸", rng.choice(["USB+并口", "USB+网络"]), rng.choice(["票据打印", ""])]
        return ("P%d%s" % (rng.randint(60, 90) * 10, rng.choice(["", "K", "KII"])), parts, "台", base)
    parts = [kind, "%d页每分钟" % rng.choice([18, 22, 28, 30, 35, 40]),
             rng.choice(["自动双面", "手动双面"]),
             rng.choice(["USB", "网络打印", "无线打印", "USB+网络"]),
             "打印复印扫描" if kind == "激光多功能一体机" else rng.choice(["月负荷2万页", "250页纸盒", ""])]
    return ("P%d%s" % (rng.randint(10, 59) * 10, rng.choice(["", "DN", "DW", "N"])),
            parts, "台", base)


def monitor():
    size, num, base = rng.choice([("21.5英寸", 22, 600), ("23.8英寸", 24, 750), ("27英寸", 27, 1100),
                                  ("31.5英寸", 32, 1700), ("34英寸带鱼屏", 34, 2300)])
    res = rng.choice(["1920x1080", "2560x1440", "3840x2160"])
    base += {"2560x1440": 400, "3840x2160": 1100}.get(res, 0)
    parts = [size, rng.choice(["IPS", "VA", "IPS", "OLED"]), res,
             rng.choice(["75Hz", "100Hz", "144Hz", "165Hz"]),
             rng.choice(["HDMI+DP", "HDMI+VGA", "Type-C", "HDMI+DP+Type-C"]),
             rng.choice(["升降支架", "低蓝光", "内置音箱", ""])]
    code = {"1920x1080": "F", "2560x1440": "Q", "3840x2160": "U"}[res]
    return ("M%d%s%s" % (num, code, rng.choice(["", "H", "C", "Pro"])),
            parts, "台", base)


def network():
    r = rng.random()
    if r < 0.4:
        ports = rng.choice([8, 16, 24, 48])
        parts = ["%d口千兆交换机" % ports, rng.choice(["非网管", "二层网管", "三层网管"]),
                 rng.choice(["4个SFP光口", "2个万兆光口", "无光口"]),
                 rng.choice(["机架式", "桌面式"])]
        return ("S%d%s" % (ports * 100 + rng.randint(0, 9), rng.choice(["G", "GP", "T"])),
                parts, "台", 150 + ports * 40)
    if r < 0.75:
        parts = [rng.choice(["双频无线路由器", "企业级路由器", "多WAN口路由器"]),
                 rng.choice(["AX1800", "AX3000", "AX6000", "千兆"]),
                 "%d个千兆网口" % rng.choice([4, 5, 8]),
                 rng.choice(["带机量150", "带机量300", "支持VPN", "Mesh组网"])]
        return ("R%d" % (rng.randint(10, 99) * 100), parts, "台", rng.choice([199, 399, 899, 1600]))
    parts = [rng.choice(["吸顶式无线AP", "面板式无线AP", "室外无线AP"]),
             rng.choice(["AX1800", "AX3000", "双频"]), "POE供电",
             rng.choice(["支持漫游", "云管理", ""])]
    return ("AP%d" % rng.randint(100, 990), parts, "个", rng.choice([260, 420, 680]))


def office():
    item = rng.choice([
        ("B", ["碎纸机", rng.choice(["4级保密", "5级保密"]), "%d升纸箱" % rng.choice([15, 20, 30]),
               "连续碎纸%d分钟" % rng.choice([5, 10, 20])], "台", 680),
        ("K", ["指纹考勤机", rng.choice(["人脸识别", "指纹+刷卡"]), "%d人容量" % rng.choice([1000, 3000]),
               "U盘下载"], "台", 420),
        ("A", ["A4复印纸", "%d克" % rng.choice([70, 80]), "500张每包", "%d包每箱" % rng.choice([5, 8])],
         "箱", 150),
        ("T", ["激光打印机硒鼓", "黑色", "打印%d页" % rng.choice([1500, 2600, 3000])], "个", 160),
        ("H", ["喷墨墨盒", rng.choice(["黑色", "彩色", "四色套装"]), "大容量"], "盒", 90),
        ("Z", ["电动装订机", rng.choice(["热熔装订", "胶装", "铆管装订"]), "A4幅面"], "台", 900),
        ("L", ["过塑机", "A3幅面", "冷热两用"], "台", 260),
    ])
    code, parts, unit, base = item
    return ("%s%d" % (code, rng.randint(100, 990)), parts, unit, base)


def scanner():
    kind, base = rng.choice([("A4平板扫描", 700), ("A4馈纸式扫描", 2600), ("A3平板扫描", 5200),
                             ("高拍仪", 450), ("便携扫描", 900)])
    parts = [kind, rng.choice(["1200dpi", "2400dpi", "4800dpi", "600dpi"]),
             rng.choice(["双面扫描", "单面扫描", "%d页每分钟" % rng.choice([30, 40, 60])]),
             rng.choice(["USB", "USB+网络", "无线"]), rng.choice(["OCR文字识别", ""])]
    return ("S%d%s" % (rng.randint(10, 99) * 10, rng.choice(["", "F", "D"])), parts, "台", base)


def projector():
    lumens = rng.choice([3200, 3600, 4000, 4500, 5200])
    res = rng.choice(["1024x768", "1280x800", "1920x1080"])
    parts = ["%d流明" % lumens, res, rng.choice(["HDMI+VGA", "双HDMI", "无线投屏"]),
             rng.choice(["激光光源", "灯泡光源", "LED光源"]),
             rng.choice(["会议室用", "教学用", "短焦", ""])]
    base = lumens // 2 + {"1920x1080": 1600, "1280x800": 600}.get(res, 0)
    return ("X%d%s" % (lumens // 100, rng.choice(["", "W", "H", "ST"])), parts, "台", base)


def server():
    form, base = rng.choice([("1U机架式", 9800), ("2U机架式", 16000), ("塔式", 7200),
                             ("4U机架式", 32000)])
    cpu = rng.choice(["至强铜牌x1", "至强银牌x1", "至强银牌x2", "至强金牌x2", "霄龙x1"])
    mem = rng.choice(["32G内存", "64G内存", "128G内存", "256G内存"])
    disk = rng.choice(["2x960G固态", "4x2T硬盘", "4x4T硬盘", "8x4T硬盘", "2x480G固态+4x8T"])
    base += {"至强银牌x2": 5000, "至强金牌x2": 15000, "霄龙x1": 6000}.get(cpu, 0)
    base += {"128G内存": 3500, "256G内存": 9000}.get(mem, 0)
    parts = [form, cpu, mem, disk, rng.choice(["冗余电源", "单电源"]),
             rng.choice(["三年上门", "五年上门", ""])]
    return ("R%d%d0" % (rng.randint(1, 8), rng.randint(10, 99)), parts, "台", base)


def storage():
    r = rng.random()
    if r < 0.45:
        bays = rng.choice([2, 4, 8, 12])
        parts = ["%d盘位网络存储" % bays, rng.choice(["支持RAID5", "支持RAID6", "支持RAID1"]),
                 rng.choice(["双千兆网口", "万兆网口", "2.5G网口"]), "不含硬盘"]
        return ("NS%d%d" % (bays, rng.randint(10, 99)), parts, "台", 900 + bays * 520)
    if r < 0.8:
        cap, base = rng.choice([("1T", 320), ("2T", 460), ("4T", 720), ("5T", 860)])
        parts = ["%s移动硬盘" % cap, rng.choice(["USB3.0", "Type-C", "USB3.2"]),
                 rng.choice(["2.5英寸", "铝合金外壳", "防震"])]
        return ("E%s%d" % (cap, rng.randint(10, 99)), parts, "个", base)
    cap, base = rng.choice([("64G", 39), ("128G", 59), ("256G", 109)])
    parts = ["U盘", cap, rng.choice(["USB3.2", "双接口", "金属外壳"])]
    return ("U%s%s" % (cap, rng.choice(["", "C", "M"])), parts, "个", base)


MAKERS = [desktop, laptop, printer, monitor, network, office, scanner, projector, server, storage]

models = {}       # node path -> list of (model, configuration, unit, base price, origin)
for path, ci, brand in brand_nodes:
    seen = set()
    items = []
    tries = 0
    want = rng.randint(10, 16)
    while len(items) < want and tries < 500:
        tries += 1
        code, parts, unit, base = MAKERS[ci]()
        model = BRAND_CODE[brand] + "-" + code
        if model in seen:
            continue
        seen.add(model)
        config = fit(parts, LIMITS["configuration"])
        origin = rng.choice(ORIGINS)
        items.append((model, config, unit, base, origin))
    models[path] = items


def dealer_price(base):
    value = base * rng.uniform(0.9, 1.12)
    if value >= 200:
        whole = int(value / 10) * 10 + rng.choice([0, 8, 9, 9, 9])
        if rng.random() < 0.15:
            return "%d.50" % whole
        return "%d" % whole
    return "%.2f" % (round(value * 2) / 2.0) if rng.random() < 0.5 else "%d" % round(value)

# ---------------------------------------------------------------------------
# Products
# ---------------------------------------------------------------------------

products = []
offered = set()
# every non-service listing first gets one product, then random listings get more
sellers = [l for l in listings if l["linkText"] not in ("维修服务", "特约维修")]
order = list(sellers)
rng.shuffle(order)
queue = order + [rng.choice(sellers) for _ in range(N_PRODUCTS * 3)]
for l in queue:
    if len(products) >= N_PRODUCTS:
        break
    free = [m for m in models[l["node"]] if (l["company"], l["node"], m[0]) not in offered]
    if not free:
        continue
    model, config, unit, base, origin = rng.choice(free)
    offered.add((l["company"], l["node"], model))
    products.append({
        "company": l["company"], "node": l["node"], "model": model,
        "configuration": config, "price": dealer_price(base), "unit": unit,
        "origin": origin, "remarks": rng.choice(REMARKS), "expires": live_expiry(),
    })
for idx in rng.sample(range(len(products)), N_PRICE_ON_REQUEST):
    products[idx]["price"] = ""
    products[idx]["remarks"] = rng.choice(["电话询价", "价格面议", "来电咨询", ""])
for idx in rng.sample(range(len(products)), N_EXPIRED_PRODUCTS):
    products[idx]["expires"] = random_date(2025, 2025)
# sort by company then node for a tidy file
products.sort(key=lambda p: (p["company"], p["node"], p["model"]))

# ---------------------------------------------------------------------------
# Introductions
# ---------------------------------------------------------------------------

def introduction(c):
    nodes = [l["node"] for l in listings if l["company"] == c["key"]]
    cats = list(dict.fromkeys(n.split("/")[0] for n in nodes))
    brands = list(dict.fromkeys(n.split("/")[1] for n in nodes))
    extra_cats = [CATEGORIES[i] for i in c["_focus"] if CATEGORIES[i] not in cats]
    rng.shuffle(extra_cats)
    cat_text = "、".join((cats + extra_cats)[:rng.randint(2, 4)])
    brand_text = "、".join(brands[:3])
    year = rng.randint(1996, 2020)
    staff = rng.randint(12, 160)
    v = {
        "name": c["name"], "short": c["_short"], "year": year,
        "city": c["_city"], "district": c["_district"], "road": c["_road"],
        "address": c["address"], "bus": c["busRoutes"],
        "staff": staff, "tech": max(3, staff // rng.randint(3, 6)),
        "capital": rng.choice([50, 100, 200, 300, 500, 1000]),
        "cats": cat_text, "brands": brand_text, "brand": brands[0],
        "role": rng.choice(ROLES), "year2": rng.randint(max(year + 1, 2008), 2025),
        "n": rng.randint(3, 20), "h": rng.choice([2, 4, 8, 24]),
        "landmark": rng.choice(LANDMARKS), "phone": c["phone"].split(",")[0],
    }
    openings = [
        "{name}成立于{year}年，是{city}地区较早从事电脑及办公设备销售的专业公司之一。",
        "{name}创办于{year}年，经过多年稳步发展，已成为{district}一家颇具规模的IT产品经销企业。",
        "{short}始建于{year}年，起步于{district}的一间小门市，如今已发展为拥有{staff}名员工的综合性IT服务公司。",
        "{name}是一家集产品销售、系统集成和技术服务于一体的民营企业，自{year}年成立以来始终坚持诚信经营。",
        "本公司成立于{year}年，注册资金{capital}万元，现有员工{staff}人，其中专业技术人员{tech}人。",
        "{short}于{year}年在{city}注册成立，专注于计算机及周边产品的批发零售，是本地用户熟悉的老字号商家。",
    ]
    products_p = [
        "公司主要经营{cats}等产品，是{brands}在本地区的{role}。",
        "目前主营{cats}，代理{brands}等品牌，货源充足，价格合理。",
        "公司长期销售{cats}，与{brands}等厂家建立了稳定的合作关系，多款热销型号常年备有现货。",
        "经营范围涵盖{cats}以及相关耗材配件，其中{brands}系列产品销量在本地名列前茅。",
    ]
    middle = [
        "可为政府机关、学校、医院及中小企业提供整体采购方案和上门安装调试服务。",
        "公司设有专门的技术部，能够承接局域网布线、机房建设和服务器部署等工程项目。",
        "针对企业客户，公司提供批量采购优惠、分期付款和以旧换新等多种灵活方式。",
        "公司拥有宽敞的产品展示厅，各类样机均可现场试用，欢迎客户到店体验。",
        "我们坚持“质量第一、用户至上”的经营理念，所售商品全部来自正规渠道。",
        "售后方面，公司设有独立的维修中心，配备专业工程师{n}名，承诺市区范围内{h}小时上门服务。",
        "所售产品均严格执行国家三包规定，保修期内免费上门维修，保修期外仅收取配件成本费。",
        "公司开通了售后服务热线{phone}，工作日及周末均有专人值守，及时解答用户在使用中遇到的问题。",
        "我们定期对老客户进行回访，提供免费的设备清洁、系统检测和软件升级服务。",
        "{year2}年起，公司获得{brand}授权，成为其在{city}的特约服务站。",
        "公司连续多年被评为诚信经营示范单位，在业内享有良好的口碑。",
        "公司还承接电脑及外设的租赁业务，适合展会、培训及短期项目使用。",
        "公司实行明码标价，所有商品均提供正规发票，支持对公转账。",
        "公司仓库面积近千平方米，常备各类整机和配件，市区订单当天即可送货上门。",
        "除整机销售外，公司还提供数据恢复、系统重装、硬件升级等技术服务，收费公开透明。",
        "近年来公司积极拓展网上业务，客户可通过电话或电子邮件索取最新报价单。",
    ]
    locations = [
        "公司位于{district}{road}，交通便利，乘坐{bus}即可到达，门前设有停车位。",
        "公司门市部地处{city}{district}电脑市场核心地段，周边商户云集，乘坐{bus}可直达。",
        "公司地址：{address}，距{landmark}仅数百米，欢迎前来洽谈。",
        "公司地处{road}与{landmark}之间，乘坐{bus}在附近站点下车，步行约五分钟即到。",
    ]
    closings = [
        "竭诚欢迎新老客户来电垂询、光临惠顾！",
        "公司愿与各界朋友真诚合作，共创美好未来。",
        "我们期待以优质的产品和周到的服务，成为您值得信赖的合作伙伴。",
        "诚邀各地经销商加盟合作，共同开拓市场。",
        "",
    ]
    if not c["busRoutes"]:
        locations = locations[2:3]
    head = [rng.choice(openings), rng.choice(products_p)]
    rng.shuffle(middle)
    tail = [rng.choice(locations), rng.choice(closings)]
    target = rng.randint(165, 330)
    for k in range(len(middle) + 1):
        text = "".join(head + middle[:k] + tail).format(**v)
        if cjk_count(text) >= target or len(text) > 380:
            break
    while len(text) > 400 and k > 0:
        k -= 1
        text = "".join(head + middle[:k] + tail).format(**v)
    return text


for c in companies:
    c["introduction"] = introduction(c)

# ---------------------------------------------------------------------------
# Validation
# ---------------------------------------------------------------------------

DATE_RE = re.compile(r"^\d{4}-\d{2}-\d{2}$")


def check_date(value, where):
    ok = bool(DATE_RE.match(value))
    if ok:
        try:
            datetime.date.fromisoformat(value)
        except ValueError:
            ok = False
    require(ok, "%s: bad date %r" % (where, value))


for row in catalogue:
    for f, val in row.items():
        check_text(val, f, "catalogue")
    require(re.match(r"^[A-Za-z0-9_.-]+$", row["dataName"]) is not None, "dataName not a plain ASCII id")
    check_date(row["updateDate"], "catalogue")

company_keys = {}
for c in companies:
    w = "company " + c["key"]
    require(c["key"] not in company_keys, w + ": duplicate key")
    company_keys[c["key"]] = c
    for f in ("key", "name", "phone", "fax", "contact", "address", "postcode", "website",
              "email", "bank", "account", "taxNumber", "busRoutes", "introduction"):
        check_text(c[f], f, w)
    require(re.match(r"^\d{6}$", c["postcode"]) is not None, w + ": postcode")
    require(c["account"].isdigit(), w + ": account not digits")
    require(15 <= len(c["taxNumber"]) <= 18, w + ": taxNumber length")
    require(c["name"] and c["phone"] and c["address"], w + ": missing name/phone/address")
    require(not c["website"] or c["website"].startswith("http://www.") and
            c["website"].endswith(".example"), w + ": website not under .example")
    require(not c["email"] or c["email"].endswith(".example"), w + ": email not under .example")
    n = cjk_count(c["introduction"])
    require(150 <= n and len(c["introduction"]) <= 400,
            "%s: introduction has %d Chinese characters, %d in all" % (w, n, len(c["introduction"])))
require(len(companies) == N_COMPANIES, "company count")
require(len({c["introduction"] for c in companies}) == len(companies), "introductions not all different")

tree_paths = {}
for row in tree:
    path = row["path"]
    w = "tree " + path
    require(path not in tree_paths, w + ": duplicate path")
    require(row["holds"] in ("categories", "companies"), w + ": bad holds")
    segs = path.split("/")
    for s in segs:
        require(s != "" and s == s.strip(), w + ": empty or padded label")
        check_text(s, "label", w)
    if len(segs) > 1:
        parent = "/".join(segs[:-1])
        require(tree_paths.get(parent) == "categories", w + ": parent missing, later or not a category node")
    tree_paths[path] = row["holds"]
for path, holds in tree_paths.items():
    has_child = any(p.startswith(path + "/") for p in tree_paths)
    require(has_child == (holds == "categories"), "tree " + path + ": holds does not match children")
brand_paths = [p for p, h in tree_paths.items() if h == "companies"]

listing_pairs = set()
per_node = {p: 0 for p in brand_paths}
for l in listings:
    w = "listing %s %s" % (l["company"], l["node"])
    require(l["company"] in company_keys, w + ": unknown company")
    require(tree_paths.get(l["node"]) == "companies", w + ": node is not a brand node")
    require((l["company"], l["node"]) not in listing_pairs, w + ": duplicate")
    listing_pairs.add((l["company"], l["node"]))
    check_text(l["linkText"], "linkText", w)
    check_date(l["expires"], w)
    if l["node"] in per_node:
        per_node[l["node"]] += 1
for p, n in per_node.items():
    require(3 <= n <= 12, "node %s has %d companies" % (p, n))
for key in company_keys:
    require(any(k == key for k, _ in listing_pairs), "company %s is not listed anywhere" % key)

product_keys = set()
for p in products:
    w = "product %s %s %s" % (p["company"], p["node"], p["model"])
    require(p["company"] in company_keys, w + ": unknown company")
    require(tree_paths.get(p["node"]) == "companies", w + ": node is not a brand node")
    require((p["company"], p["node"]) in listing_pairs, w + ": company not listed under node")
    require((p["company"], p["node"], p["model"]) not in product_keys, w + ": duplicate")
    product_keys.add((p["company"], p["node"], p["model"]))
    for f in ("model", "configuration", "unit", "origin", "remarks"):
        check_text(p[f], f, w)
    require(p["model"] and p["unit"], w + ": empty model or unit")
    require(p["price"] == "" or re.match(r"^\d+(\.\d{1,2})?$", p["price"]) is not None,
            w + ": bad price %r" % p["price"])
    check_date(p["expires"], w)
require(len(products) == N_PRODUCTS, "product count %d" % len(products))

n_exp_l = sum(1 for l in listings if l["expires"] < catalogue[0]["updateDate"])
n_exp_p = sum(1 for p in products if p["expires"] < catalogue[0]["updateDate"])
require(n_exp_l == N_EXPIRED_LISTINGS, "expired listings %d" % n_exp_l)
require(n_exp_p == N_EXPIRED_PRODUCTS, "expired products %d" % n_exp_p)

if ERRORS:
    for e in ERRORS[:50]:
        print("error:", e, file=sys.stderr)
    print("%d error(s); no files written" % len(ERRORS), file=sys.stderr)
    sys.exit(1)

# ---------------------------------------------------------------------------
# Output
# ---------------------------------------------------------------------------

def write(name, columns, rows):
    path = os.path.join(OUT_DIR, name)
    with open(path, "w", encoding="utf-8", newline="") as fh:
        w = csv.writer(fh, lineterminator="\n")
        w.writerow(columns)
        for r in rows:
            w.writerow([r[c] for c in columns])


os.makedirs(OUT_DIR, exist_ok=True)
write("catalogue.csv", ["dataName", "titlePart1", "titlePart2", "updateDate", "updateHost"], catalogue)
write("companies.csv", ["key", "name", "phone", "fax", "contact", "address", "postcode", "website",
                        "email", "bank", "account", "taxNumber", "busRoutes", "introduction"], companies)
write("tree.csv", ["path", "holds"], tree)
write("listings.csv", ["company", "node", "linkText", "expires"], listings)
write("products.csv", ["company", "node", "model", "configuration", "price", "unit", "origin",
                       "remarks", "expires"], products)

print("companies %d, tree nodes %d (%d brand nodes), listings %d (%d expired), "
      "products %d (%d expired, %d without price)" % (
          len(companies), len(tree), len(brand_paths), len(listings), n_exp_l,
          len(products), n_exp_p, sum(1 for p in products if not p["price"])))
