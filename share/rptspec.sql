-- The report field catalogue rptspec.db: one row per field a report may
-- show. datatype: 1 text, 2 number, 3 date, 4 yes/no, 5 time.
-- defwidth is in inches (Null reads as 1). A row whose FileName is not the
-- subject is a lookup field, joined through Linkfield ("col" when both
-- tables share the name, "maincol;lookupcol" otherwise). fieldname must be
-- unambiguous in the joined query: items shares catid and locid with the
-- lookup tables, so those two are never listed bare.
CREATE TABLE rptspec (
    specid     INTEGER,
    usewith    TEXT,
    fieldname  TEXT,
    datatype   INTEGER,
    "Desc"     TEXT,
    defwidth   REAL,
    IsCurrency BOOLEAN,
    FileName   TEXT,
    Linkfield  TEXT
);
CREATE INDEX rptspec_usewith ON rptspec (usewith, specid);

INSERT INTO rptspec (specid, usewith, fieldname, datatype, "Desc", defwidth, IsCurrency, FileName, Linkfield) VALUES
    ( 1, 'items', 'Item',       1, 'Description',     2.5,  0, 'items',      NULL),
    ( 2, 'items', 'manufact',   1, 'Manufacturer',    1.5,  0, 'items',      NULL),
    ( 3, 'items', 'model',      1, 'Model',           1.25, 0, 'items',      NULL),
    ( 4, 'items', 'serno',      1, 'Serial Number',   1.5,  0, 'items',      NULL),
    ( 5, 'items', 'catDesc',    1, 'Category',        1.5,  0, 'categories', 'catid'),
    ( 6, 'items', 'locDesc',    1, 'Location',        1.5,  0, 'locations',  'locid'),
    ( 7, 'items', 'purchdate',  3, 'Purchase Date',   1.0,  0, 'items',      NULL),
    ( 8, 'items', 'purchprice', 2, 'Purchase Price',  1.0,  1, 'items',      NULL),
    ( 9, 'items', 'estvalue',   2, 'Est. Value',      1.0,  1, 'items',      NULL),
    (10, 'items', 'quantity',   2, 'Quantity',        0.75, 0, 'items',      NULL),
    (11, 'items', 'totvalue',   2, 'Total Value',     1.0,  1, 'items',      NULL),
    (12, 'items', 'receipt',    4, 'Receipt',         0.75, 0, 'items',      NULL),
    (13, 'items', 'wherepurch', 1, 'Where Purchased', 1.5,  0, 'items',      NULL),
    (14, 'items', 'misc1',      1, 'Miscellaneous',   2.0,  0, 'items',      NULL),
    (15, 'items', 'Notes',      1, 'Notes',           3.0,  0, 'items',      NULL);
