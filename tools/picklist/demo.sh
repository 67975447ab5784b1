#!/usr/bin/env bash
# Builds a small shop database and makes a few picks through the tool.
set -euo pipefail
BUILD_DIR="${BUILD_DIR:-$(cd "$(dirname "$0")/../.." && pwd)/build}"
TOOL="$BUILD_DIR/tools/picklist/picklist"
DB="$BUILD_DIR/tools/picklist/demo.db"

# Written beside and renamed, so an interrupted run never leaves half a file.
rm -f "$DB.tmp"
SCHEMA=$(cat <<'SQL'
CREATE TABLE dept (code CHAR(4) PRIMARY KEY, name CHAR(20));
INSERT INTO dept VALUES ('0001','总经理办公室'),('0002','财务部'),('0003','采购部'),('0010','食品部'),
  ('0011','日化部'),('0020','家电部'),('0100','物流中心');
CREATE TABLE vendor (code CHAR(6) PRIMARY KEY, name CHAR(40));
INSERT INTO vendor VALUES ('000001','北京华联商贸有限公司'),('000002','上海光明乳业股份有限公司'),
  ('000003','杭州娃哈哈集团'),('000101','广州立白企业集团'),('000102','深圳创维电器'),('001001','天津狗不理食品');
CREATE TABLE "EMP" ("CODE" CHAR(6) PRIMARY KEY, "NAME" CHAR(10));
INSERT INTO "EMP" VALUES ('E00001','张伟'),('E00002','王芳'),('E00003','李娜'),('E00011','刘洋'),('E00012','陈静');
CREATE TABLE shop (code CHAR(6) PRIMARY KEY, name CHAR(30));
INSERT INTO shop VALUES ('0010','食品专柜'),('0011','日化专柜'),('0020','家电专柜'),('0030','临时促销区');
CREATE TABLE part (spnm CHAR(6) PRIMARY KEY, name CHAR(40), bzgg CHAR(20), s_unit CHAR(4), price DECIMAL(12,2));
INSERT INTO part VALUES ('100001','光明纯牛奶','250ml×24','箱',59.9),('100002','娃哈哈矿泉水','596ml','瓶',1.5),
  ('100003','狗不理包子','500g','袋',28),('200001','立白洗衣粉','1.5kg','袋',19.8),
  ('300001','创维液晶电视','55英寸','台',2999),('300002','电饭煲',NULL,'台',NULL);
CREATE TABLE contract (no CHAR(10) PRIMARY KEY, v_code CHAR(6), d_code CHAR(4), flag_jxdx CHAR(1));
INSERT INTO contract VALUES ('HT2024001','000002','0010','J'),('HT2024002','000003','0010','D'),
  ('HT2024003','000101','0011','J'),('HT2024004','009999','0020','D'),('HT2024005','000102','9999','J');
CREATE TABLE nation (code CHAR(3) PRIMARY KEY, name CHAR(30));
INSERT INTO nation VALUES ('CHN','中国'),('JPN','日本'),('KOR','韩国'),('USA','美国');
CREATE TABLE class (code CHAR(4) PRIMARY KEY, name CHAR(20));
INSERT INTO class VALUES ('0101','乳制品'),('0102','饮料'),('0103','速冻食品'),('0201','洗涤用品'),('0301','大家电');
CREATE TABLE brand (code CHAR(4) PRIMARY KEY, name CHAR(40));
INSERT INTO brand VALUES ('B001','光明'),('B002','娃哈哈'),('B003','立白'),('B004','创维');
CREATE TABLE sales_promotion (code CHAR(2) PRIMARY KEY, name CHAR(20));
INSERT INTO sales_promotion VALUES ('01','买一送一'),('02','全场八折'),('03','满百减二十');
CREATE TABLE "ADM_DIV" ("CODE" CHAR(8) PRIMARY KEY, "NAME" CHAR(30));
INSERT INTO "ADM_DIV" VALUES ('110000','北京市'),('120000','天津市'),('310000','上海市'),('330100','杭州市'),('440100','广州市');
CREATE TABLE "DISTRICT" ("CODE" CHAR(8) PRIMARY KEY, "NAME" CHAR(30));
INSERT INTO "DISTRICT" VALUES ('110101','东城区'),('110102','西城区'),('110105','朝阳区'),('310101','黄浦区'),('310115','浦东新区');
CREATE TABLE "DUTY" ("CODE" CHAR(4) PRIMARY KEY, "NAME" CHAR(30));
INSERT INTO "DUTY" VALUES ('D001','收银员'),('D002','理货员'),('D003','采购员'),('D004','店长');
SQL
)
sqlite3 "$DB.tmp" <<<"$SCHEMA"
mv "$DB.tmp" "$DB"
echo "demo database: $DB"

pick() {
  echo
  local shown="" a
  for a in "$@"; do
    case "$a" in *[\ \'%]*) shown+=" \"$a\"" ;; *) shown+=" $a" ;; esac
  done
  echo "\$ picklist$shown"
  "$TOOL" --db "$DB" "$@"
}

# A department: narrow by a prefix, choose the second row, confirm.
pick --window f_list --list dl_dept --row 2 --col 3 --type '00%' --query --select 2 --ok
# A vendor under the caller's own condition, typed exactly, confirmed with Enter.
pick --window f_list --list dl_vendor --where "vendor.name LIKE '%集团'" --type 000101 --query --enter
# Shops keep the one without a department (its department name is empty); leave.
pick --window f_list --list dl_shop --exit
# Contracts: one has no known vendor, one no known department; double-click the fourth.
pick --window w_list --list dl_contract --select 4 --dblclick
# w_list has no title for districts; a pattern that matches nothing keeps the window open.
pick --window w_list --list dl_dist_code --type '99%' --query --ok --type '11%' --query --ok

# The same shop on PostgreSQL, in a throwaway cluster: names in lower case
# (the lists' quoted names are folded to it), VARCHAR (no blank padding), and
# pattern indexes so that a prefix LIKE reads the key's index in any locale.
echo
STATE="$BUILD_DIR/tools/picklist/demo-pg"
CLUSTER="$(cd "$(dirname "$0")/../.." && pwd)/picklist/tests/pg_cluster.sh"
"$CLUSTER" start "$STATE" >/dev/null
if [ -f "$STATE/skipped" ]; then
  cat "$STATE/skipped"
  exit 0
fi
trap '"$CLUSTER" stop "$STATE"' EXIT
PG="$(cat "$STATE/conninfo")"
{
  sed -e 's/"\([A-Z_]*\)"/\L\1/g' -e 's/CHAR(/VARCHAR(/g' <<<"$SCHEMA"
  for t in dept:code vendor:code emp:code shop:code part:spnm contract:no nation:code class:code brand:code \
           sales_promotion:code adm_div:code district:code duty:code; do
    echo "CREATE INDEX ${t%%:*}_key_pattern ON ${t%%:*} (${t##*:} varchar_pattern_ops);"
  done
} | psql -q -v ON_ERROR_STOP=1 "$PG" >/dev/null
echo "demo PostgreSQL database: $PG"
pick() {
  echo
  local shown="" a
  for a in "$@"; do
    case "$a" in *[\ \'%=]*) shown+=" \"$a\"" ;; *) shown+=" $a" ;; esac
  done
  echo "\$ picklist$shown"
  "$TOOL" "$@"
}
# Goods on PostgreSQL: a prefix, the price with two places, the second row.
pick --db "$PG" --window f_list --list dl_part --type '100%' --query --select 2 --ok
