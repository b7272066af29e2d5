-- The inventory database stowbook.db. Column kinds as the program reads
-- them: CURRENCY is money (four decimals), DATETIME is ISO-8601 text,
-- BOOLEAN is 0/1, SMALLINT is a 16-bit count.
PRAGMA journal_mode = WAL;
CREATE TABLE categories (
    catid   INTEGER PRIMARY KEY AUTOINCREMENT,
    catDesc TEXT
);
CREATE TABLE locations (
    locid   INTEGER PRIMARY KEY AUTOINCREMENT,
    locDesc TEXT
);
CREATE TABLE items (
    iteid      INTEGER PRIMARY KEY AUTOINCREMENT,
    Item       TEXT,
    manufact   TEXT,
    model      TEXT,
    serno      TEXT,
    purchdate  DATETIME,
    purchprice CURRENCY,
    estvalue   CURRENCY,
    quantity   SMALLINT,
    totvalue   CURRENCY,
    receipt    BOOLEAN,
    wherepurch TEXT,
    misc1      TEXT,
    Notes      TEXT,
    catid      INTEGER,
    locid      INTEGER
);
CREATE INDEX items_catid ON items (catid);
CREATE INDEX items_locid ON items (locid);
