-- Template of the configuration archive (Zel2Setup.dll, copied to Zel2Program.cfg on the
-- first run). Built with the sqlite3 tool at build time and embedded in the program, which
-- checks every archive it opens against the tables, views, columns and triggers below. Views,
-- triggers and indexes hold no data: an archive whose ones differ from these (made by an
-- older template) gets these instead when it is opened.
--
-- Format rules (the program splits this text itself): one statement ends with ';' at the end
-- of a line, a trigger ends with 'END;'; comments are whole lines starting with '--'.
--
-- Record tables: "IDProgramma" then the record's "m_" columns in the record's storing order;
-- an indexed property has one column per index 00..15. Columns have no DEFAULT: a new row
-- holds NULL until the record writes its fields (an empty text is never written). Several
-- rows with the same id may exist; the program always works on the first (lowest rowid).
--
-- Id 2 is the instrument's current configuration: every record table holds a row with id 2
-- from the start, filled with the record defaults, and "CounterProgrammi" numbers new ids
-- from 3 upward without ever reusing one.
--
-- Values of the id-2 rows (the record defaults; the "CUsoInstr" name is resource 640):
--
--   table              column                  type     value
--   CUsoInstr          m_NomeProgramma         TEXT     'Actual instrument setting'
--                      m_InstrModel            INTEGER  0
--                      m_FilterScale           INTEGER  1
--                      m_IntTimeCorr           INTEGER  15
--                      m_FilterCoeff           INTEGER  1
--                      m_RapportoTV            INTEGER  10
--                      m_RapportoTA            INTEGER  1
--                      m_System                INTEGER  0
--                      m_IntTimePot            INTEGER  15
--                      m_NetworkAddVexbus      INTEGER  1
--   CDigOutConfig      m_DigOut1               INTEGER  0
--                      m_NumAlarm1             INTEGER  0
--                      m_StatusDigOut1         INTEGER  0
--                      m_DigOut2               INTEGER  0
--                      m_NumAlarm2             INTEGER  0
--                      m_StatusDigOut2         INTEGER  0
--   CPulseOutSetup1/2  m_SelectCounter         INTEGER  0
--                      m_PulseOut              INTEGER  1
--                      m_PulseOutStatus        INTEGER  0
--   CAlarm1/2          m_VarControllataNN      INTEGER  0    for NN = 00..15, in the order
--                      m_ScaleSelectNN         INTEGER  0    VarControllata00, ScaleSelect00,
--                      m_MinAlarmNN            INTEGER  0    ... AlarmStartup00,
--                      m_MaxAlarmNN            INTEGER  0    VarControllata01, ...
--                      m_DelayTimeNN           INTEGER  0    (1 + 144 = 145 columns)
--                      m_AlarmTypeNN           INTEGER  0
--                      m_AlarmStatusNN         INTEGER  0
--                      m_LogicFunctionNN       INTEGER  0
--                      m_AlarmStartupNN        INTEGER  0
--   CSerialComm        m_NetworkAdd            INTEGER  1
--                      m_BaudRate              INTEGER  0
--   CAnalogOutSetup1/2/3
--                      m_VariabileRipetuta     INTEGER  0
--                      m_ScaleSelect           INTEGER  0
--                      m_MaxIn                 INTEGER  0
--                      m_MinIn                 INTEGER  0
--                      m_MaxOut                INTEGER  1000
--                      m_MinOut                INTEGER  0

-- Record tables.

CREATE TABLE "CUsoInstr" (
    "IDProgramma" INTEGER NOT NULL,
    "m_NomeProgramma" TEXT,
    "m_InstrModel" INTEGER,
    "m_FilterScale" INTEGER,
    "m_IntTimeCorr" INTEGER,
    "m_FilterCoeff" INTEGER,
    "m_RapportoTV" INTEGER,
    "m_RapportoTA" INTEGER,
    "m_System" INTEGER,
    "m_IntTimePot" INTEGER,
    "m_NetworkAddVexbus" INTEGER
);
CREATE INDEX "CUsoInstr_IDProgramma" ON "CUsoInstr" ("IDProgramma");

CREATE TABLE "CDigOutConfig" (
    "IDProgramma" INTEGER NOT NULL,
    "m_DigOut1" INTEGER,
    "m_NumAlarm1" INTEGER,
    "m_StatusDigOut1" INTEGER,
    "m_DigOut2" INTEGER,
    "m_NumAlarm2" INTEGER,
    "m_StatusDigOut2" INTEGER
);
CREATE INDEX "CDigOutConfig_IDProgramma" ON "CDigOutConfig" ("IDProgramma");

CREATE TABLE "CPulseOutSetup1" (
    "IDProgramma" INTEGER NOT NULL,
    "m_SelectCounter" INTEGER,
    "m_PulseOut" INTEGER,
    "m_PulseOutStatus" INTEGER
);
CREATE INDEX "CPulseOutSetup1_IDProgramma" ON "CPulseOutSetup1" ("IDProgramma");

CREATE TABLE "CPulseOutSetup2" (
    "IDProgramma" INTEGER NOT NULL,
    "m_SelectCounter" INTEGER,
    "m_PulseOut" INTEGER,
    "m_PulseOutStatus" INTEGER
);
CREATE INDEX "CPulseOutSetup2_IDProgramma" ON "CPulseOutSetup2" ("IDProgramma");

CREATE TABLE "CAlarm1" (
    "IDProgramma" INTEGER NOT NULL,
    "m_VarControllata00" INTEGER,
    "m_ScaleSelect00" INTEGER,
    "m_MinAlarm00" INTEGER,
    "m_MaxAlarm00" INTEGER,
    "m_DelayTime00" INTEGER,
    "m_AlarmType00" INTEGER,
    "m_AlarmStatus00" INTEGER,
    "m_LogicFunction00" INTEGER,
    "m_AlarmStartup00" INTEGER,
    "m_VarControllata01" INTEGER,
    "m_ScaleSelect01" INTEGER,
    "m_MinAlarm01" INTEGER,
    "m_MaxAlarm01" INTEGER,
    "m_DelayTime01" INTEGER,
    "m_AlarmType01" INTEGER,
    "m_AlarmStatus01" INTEGER,
    "m_LogicFunction01" INTEGER,
    "m_AlarmStartup01" INTEGER,
    "m_VarControllata02" INTEGER,
    "m_ScaleSelect02" INTEGER,
    "m_MinAlarm02" INTEGER,
    "m_MaxAlarm02" INTEGER,
    "m_DelayTime02" INTEGER,
    "m_AlarmType02" INTEGER,
    "m_AlarmStatus02" INTEGER,
    "m_LogicFunction02" INTEGER,
    "m_AlarmStartup02" INTEGER,
    "m_VarControllata03" INTEGER,
    "m_ScaleSelect03" INTEGER,
    "m_MinAlarm03" INTEGER,
    "m_MaxAlarm03" INTEGER,
    "m_DelayTime03" INTEGER,
    "m_AlarmType03" INTEGER,
    "m_AlarmStatus03" INTEGER,
    "m_LogicFunction03" INTEGER,
    "m_AlarmStartup03" INTEGER,
    "m_VarControllata04" INTEGER,
    "m_ScaleSelect04" INTEGER,
    "m_MinAlarm04" INTEGER,
    "m_MaxAlarm04" INTEGER,
    "m_DelayTime04" INTEGER,
    "m_AlarmType04" INTEGER,
    "m_AlarmStatus04" INTEGER,
    "m_LogicFunction04" INTEGER,
    "m_AlarmStartup04" INTEGER,
    "m_VarControllata05" INTEGER,
    "m_ScaleSelect05" INTEGER,
    "m_MinAlarm05" INTEGER,
    "m_MaxAlarm05" INTEGER,
    "m_DelayTime05" INTEGER,
    "m_AlarmType05" INTEGER,
    "m_AlarmStatus05" INTEGER,
    "m_LogicFunction05" INTEGER,
    "m_AlarmStartup05" INTEGER,
    "m_VarControllata06" INTEGER,
    "m_ScaleSelect06" INTEGER,
    "m_MinAlarm06" INTEGER,
    "m_MaxAlarm06" INTEGER,
    "m_DelayTime06" INTEGER,
    "m_AlarmType06" INTEGER,
    "m_AlarmStatus06" INTEGER,
    "m_LogicFunction06" INTEGER,
    "m_AlarmStartup06" INTEGER,
    "m_VarControllata07" INTEGER,
    "m_ScaleSelect07" INTEGER,
    "m_MinAlarm07" INTEGER,
    "m_MaxAlarm07" INTEGER,
    "m_DelayTime07" INTEGER,
    "m_AlarmType07" INTEGER,
    "m_AlarmStatus07" INTEGER,
    "m_LogicFunction07" INTEGER,
    "m_AlarmStartup07" INTEGER,
    "m_VarControllata08" INTEGER,
    "m_ScaleSelect08" INTEGER,
    "m_MinAlarm08" INTEGER,
    "m_MaxAlarm08" INTEGER,
    "m_DelayTime08" INTEGER,
    "m_AlarmType08" INTEGER,
    "m_AlarmStatus08" INTEGER,
    "m_LogicFunction08" INTEGER,
    "m_AlarmStartup08" INTEGER,
    "m_VarControllata09" INTEGER,
    "m_ScaleSelect09" INTEGER,
    "m_MinAlarm09" INTEGER,
    "m_MaxAlarm09" INTEGER,
    "m_DelayTime09" INTEGER,
    "m_AlarmType09" INTEGER,
    "m_AlarmStatus09" INTEGER,
    "m_LogicFunction09" INTEGER,
    "m_AlarmStartup09" INTEGER,
    "m_VarControllata10" INTEGER,
    "m_ScaleSelect10" INTEGER,
    "m_MinAlarm10" INTEGER,
    "m_MaxAlarm10" INTEGER,
    "m_DelayTime10" INTEGER,
    "m_AlarmType10" INTEGER,
    "m_AlarmStatus10" INTEGER,
    "m_LogicFunction10" INTEGER,
    "m_AlarmStartup10" INTEGER,
    "m_VarControllata11" INTEGER,
    "m_ScaleSelect11" INTEGER,
    "m_MinAlarm11" INTEGER,
    "m_MaxAlarm11" INTEGER,
    "m_DelayTime11" INTEGER,
    "m_AlarmType11" INTEGER,
    "m_AlarmStatus11" INTEGER,
    "m_LogicFunction11" INTEGER,
    "m_AlarmStartup11" INTEGER,
    "m_VarControllata12" INTEGER,
    "m_ScaleSelect12" INTEGER,
    "m_MinAlarm12" INTEGER,
    "m_MaxAlarm12" INTEGER,
    "m_DelayTime12" INTEGER,
    "m_AlarmType12" INTEGER,
    "m_AlarmStatus12" INTEGER,
    "m_LogicFunction12" INTEGER,
    "m_AlarmStartup12" INTEGER,
    "m_VarControllata13" INTEGER,
    "m_ScaleSelect13" INTEGER,
    "m_MinAlarm13" INTEGER,
    "m_MaxAlarm13" INTEGER,
    "m_DelayTime13" INTEGER,
    "m_AlarmType13" INTEGER,
    "m_AlarmStatus13" INTEGER,
    "m_LogicFunction13" INTEGER,
    "m_AlarmStartup13" INTEGER,
    "m_VarControllata14" INTEGER,
    "m_ScaleSelect14" INTEGER,
    "m_MinAlarm14" INTEGER,
    "m_MaxAlarm14" INTEGER,
    "m_DelayTime14" INTEGER,
    "m_AlarmType14" INTEGER,
    "m_AlarmStatus14" INTEGER,
    "m_LogicFunction14" INTEGER,
    "m_AlarmStartup14" INTEGER,
    "m_VarControllata15" INTEGER,
    "m_ScaleSelect15" INTEGER,
    "m_MinAlarm15" INTEGER,
    "m_MaxAlarm15" INTEGER,
    "m_DelayTime15" INTEGER,
    "m_AlarmType15" INTEGER,
    "m_AlarmStatus15" INTEGER,
    "m_LogicFunction15" INTEGER,
    "m_AlarmStartup15" INTEGER
);
CREATE INDEX "CAlarm1_IDProgramma" ON "CAlarm1" ("IDProgramma");

CREATE TABLE "CAlarm2" (
    "IDProgramma" INTEGER NOT NULL,
    "m_VarControllata00" INTEGER,
    "m_ScaleSelect00" INTEGER,
    "m_MinAlarm00" INTEGER,
    "m_MaxAlarm00" INTEGER,
    "m_DelayTime00" INTEGER,
    "m_AlarmType00" INTEGER,
    "m_AlarmStatus00" INTEGER,
    "m_LogicFunction00" INTEGER,
    "m_AlarmStartup00" INTEGER,
    "m_VarControllata01" INTEGER,
    "m_ScaleSelect01" INTEGER,
    "m_MinAlarm01" INTEGER,
    "m_MaxAlarm01" INTEGER,
    "m_DelayTime01" INTEGER,
    "m_AlarmType01" INTEGER,
    "m_AlarmStatus01" INTEGER,
    "m_LogicFunction01" INTEGER,
    "m_AlarmStartup01" INTEGER,
    "m_VarControllata02" INTEGER,
    "m_ScaleSelect02" INTEGER,
    "m_MinAlarm02" INTEGER,
    "m_MaxAlarm02" INTEGER,
    "m_DelayTime02" INTEGER,
    "m_AlarmType02" INTEGER,
    "m_AlarmStatus02" INTEGER,
    "m_LogicFunction02" INTEGER,
    "m_AlarmStartup02" INTEGER,
    "m_VarControllata03" INTEGER,
    "m_ScaleSelect03" INTEGER,
    "m_MinAlarm03" INTEGER,
    "m_MaxAlarm03" INTEGER,
    "m_DelayTime03" INTEGER,
    "m_AlarmType03" INTEGER,
    "m_AlarmStatus03" INTEGER,
    "m_LogicFunction03" INTEGER,
    "m_AlarmStartup03" INTEGER,
    "m_VarControllata04" INTEGER,
    "m_ScaleSelect04" INTEGER,
    "m_MinAlarm04" INTEGER,
    "m_MaxAlarm04" INTEGER,
    "m_DelayTime04" INTEGER,
    "m_AlarmType04" INTEGER,
    "m_AlarmStatus04" INTEGER,
    "m_LogicFunction04" INTEGER,
    "m_AlarmStartup04" INTEGER,
    "m_VarControllata05" INTEGER,
    "m_ScaleSelect05" INTEGER,
    "m_MinAlarm05" INTEGER,
    "m_MaxAlarm05" INTEGER,
    "m_DelayTime05" INTEGER,
    "m_AlarmType05" INTEGER,
    "m_AlarmStatus05" INTEGER,
    "m_LogicFunction05" INTEGER,
    "m_AlarmStartup05" INTEGER,
    "m_VarControllata06" INTEGER,
    "m_ScaleSelect06" INTEGER,
    "m_MinAlarm06" INTEGER,
    "m_MaxAlarm06" INTEGER,
    "m_DelayTime06" INTEGER,
    "m_AlarmType06" INTEGER,
    "m_AlarmStatus06" INTEGER,
    "m_LogicFunction06" INTEGER,
    "m_AlarmStartup06" INTEGER,
    "m_VarControllata07" INTEGER,
    "m_ScaleSelect07" INTEGER,
    "m_MinAlarm07" INTEGER,
    "m_MaxAlarm07" INTEGER,
    "m_DelayTime07" INTEGER,
    "m_AlarmType07" INTEGER,
    "m_AlarmStatus07" INTEGER,
    "m_LogicFunction07" INTEGER,
    "m_AlarmStartup07" INTEGER,
    "m_VarControllata08" INTEGER,
    "m_ScaleSelect08" INTEGER,
    "m_MinAlarm08" INTEGER,
    "m_MaxAlarm08" INTEGER,
    "m_DelayTime08" INTEGER,
    "m_AlarmType08" INTEGER,
    "m_AlarmStatus08" INTEGER,
    "m_LogicFunction08" INTEGER,
    "m_AlarmStartup08" INTEGER,
    "m_VarControllata09" INTEGER,
    "m_ScaleSelect09" INTEGER,
    "m_MinAlarm09" INTEGER,
    "m_MaxAlarm09" INTEGER,
    "m_DelayTime09" INTEGER,
    "m_AlarmType09" INTEGER,
    "m_AlarmStatus09" INTEGER,
    "m_LogicFunction09" INTEGER,
    "m_AlarmStartup09" INTEGER,
    "m_VarControllata10" INTEGER,
    "m_ScaleSelect10" INTEGER,
    "m_MinAlarm10" INTEGER,
    "m_MaxAlarm10" INTEGER,
    "m_DelayTime10" INTEGER,
    "m_AlarmType10" INTEGER,
    "m_AlarmStatus10" INTEGER,
    "m_LogicFunction10" INTEGER,
    "m_AlarmStartup10" INTEGER,
    "m_VarControllata11" INTEGER,
    "m_ScaleSelect11" INTEGER,
    "m_MinAlarm11" INTEGER,
    "m_MaxAlarm11" INTEGER,
    "m_DelayTime11" INTEGER,
    "m_AlarmType11" INTEGER,
    "m_AlarmStatus11" INTEGER,
    "m_LogicFunction11" INTEGER,
    "m_AlarmStartup11" INTEGER,
    "m_VarControllata12" INTEGER,
    "m_ScaleSelect12" INTEGER,
    "m_MinAlarm12" INTEGER,
    "m_MaxAlarm12" INTEGER,
    "m_DelayTime12" INTEGER,
    "m_AlarmType12" INTEGER,
    "m_AlarmStatus12" INTEGER,
    "m_LogicFunction12" INTEGER,
    "m_AlarmStartup12" INTEGER,
    "m_VarControllata13" INTEGER,
    "m_ScaleSelect13" INTEGER,
    "m_MinAlarm13" INTEGER,
    "m_MaxAlarm13" INTEGER,
    "m_DelayTime13" INTEGER,
    "m_AlarmType13" INTEGER,
    "m_AlarmStatus13" INTEGER,
    "m_LogicFunction13" INTEGER,
    "m_AlarmStartup13" INTEGER,
    "m_VarControllata14" INTEGER,
    "m_ScaleSelect14" INTEGER,
    "m_MinAlarm14" INTEGER,
    "m_MaxAlarm14" INTEGER,
    "m_DelayTime14" INTEGER,
    "m_AlarmType14" INTEGER,
    "m_AlarmStatus14" INTEGER,
    "m_LogicFunction14" INTEGER,
    "m_AlarmStartup14" INTEGER,
    "m_VarControllata15" INTEGER,
    "m_ScaleSelect15" INTEGER,
    "m_MinAlarm15" INTEGER,
    "m_MaxAlarm15" INTEGER,
    "m_DelayTime15" INTEGER,
    "m_AlarmType15" INTEGER,
    "m_AlarmStatus15" INTEGER,
    "m_LogicFunction15" INTEGER,
    "m_AlarmStartup15" INTEGER
);
CREATE INDEX "CAlarm2_IDProgramma" ON "CAlarm2" ("IDProgramma");

CREATE TABLE "CSerialComm" (
    "IDProgramma" INTEGER NOT NULL,
    "m_NetworkAdd" INTEGER,
    "m_BaudRate" INTEGER
);
CREATE INDEX "CSerialComm_IDProgramma" ON "CSerialComm" ("IDProgramma");

CREATE TABLE "CAnalogOutSetup1" (
    "IDProgramma" INTEGER NOT NULL,
    "m_VariabileRipetuta" INTEGER,
    "m_ScaleSelect" INTEGER,
    "m_MaxIn" INTEGER,
    "m_MinIn" INTEGER,
    "m_MaxOut" INTEGER,
    "m_MinOut" INTEGER
);
CREATE INDEX "CAnalogOutSetup1_IDProgramma" ON "CAnalogOutSetup1" ("IDProgramma");

CREATE TABLE "CAnalogOutSetup2" (
    "IDProgramma" INTEGER NOT NULL,
    "m_VariabileRipetuta" INTEGER,
    "m_ScaleSelect" INTEGER,
    "m_MaxIn" INTEGER,
    "m_MinIn" INTEGER,
    "m_MaxOut" INTEGER,
    "m_MinOut" INTEGER
);
CREATE INDEX "CAnalogOutSetup2_IDProgramma" ON "CAnalogOutSetup2" ("IDProgramma");

CREATE TABLE "CAnalogOutSetup3" (
    "IDProgramma" INTEGER NOT NULL,
    "m_VariabileRipetuta" INTEGER,
    "m_ScaleSelect" INTEGER,
    "m_MaxIn" INTEGER,
    "m_MinIn" INTEGER,
    "m_MaxOut" INTEGER,
    "m_MinOut" INTEGER
);
CREATE INDEX "CAnalogOutSetup3_IDProgramma" ON "CAnalogOutSetup3" ("IDProgramma");

-- Rows of the instrument's current configuration (id 2).

INSERT INTO "CUsoInstr" ("IDProgramma", "m_NomeProgramma", "m_InstrModel", "m_FilterScale", "m_IntTimeCorr", "m_FilterCoeff", "m_RapportoTV", "m_RapportoTA", "m_System", "m_IntTimePot", "m_NetworkAddVexbus")
    VALUES (2, 'Actual instrument setting', 0, 1, 15, 1, 10, 1, 0, 15, 1);
INSERT INTO "CDigOutConfig" ("IDProgramma", "m_DigOut1", "m_NumAlarm1", "m_StatusDigOut1", "m_DigOut2", "m_NumAlarm2", "m_StatusDigOut2")
    VALUES (2, 0, 0, 0, 0, 0, 0);
INSERT INTO "CPulseOutSetup1" ("IDProgramma", "m_SelectCounter", "m_PulseOut", "m_PulseOutStatus")
    VALUES (2, 0, 1, 0);
INSERT INTO "CPulseOutSetup2" ("IDProgramma", "m_SelectCounter", "m_PulseOut", "m_PulseOutStatus")
    VALUES (2, 0, 1, 0);
-- Every alarm entry 0; one line of nine values per alarm index 00..15.
INSERT INTO "CAlarm1" VALUES (2,
    0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0);
-- Every alarm entry 0; one line of nine values per alarm index 00..15.
INSERT INTO "CAlarm2" VALUES (2,
    0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0);
INSERT INTO "CSerialComm" ("IDProgramma", "m_NetworkAdd", "m_BaudRate")
    VALUES (2, 1, 0);
INSERT INTO "CAnalogOutSetup1" ("IDProgramma", "m_VariabileRipetuta", "m_ScaleSelect", "m_MaxIn", "m_MinIn", "m_MaxOut", "m_MinOut")
    VALUES (2, 0, 0, 0, 0, 1000, 0);
INSERT INTO "CAnalogOutSetup2" ("IDProgramma", "m_VariabileRipetuta", "m_ScaleSelect", "m_MaxIn", "m_MinIn", "m_MaxOut", "m_MinOut")
    VALUES (2, 0, 0, 0, 0, 1000, 0);
INSERT INTO "CAnalogOutSetup3" ("IDProgramma", "m_VariabileRipetuta", "m_ScaleSelect", "m_MaxIn", "m_MinIn", "m_MaxOut", "m_MinOut")
    VALUES (2, 0, 0, 0, 0, 1000, 0);

-- Id allocation: a new row's "IDProgramma" is the new id. AUTOINCREMENT never hands out an id
-- twice, even after its row was deleted; the sequence starts at 2 so the first id is 3.
CREATE TABLE "CounterProgrammi" (
    "IDProgramma" INTEGER PRIMARY KEY AUTOINCREMENT
);
INSERT INTO sqlite_sequence (name, seq) VALUES ('CounterProgrammi', 2);

-- The configuration list: one row per stored configuration (its first "CUsoInstr" row),
-- the instrument's current configuration (id 2) hidden, sorted by name, then by id.
CREATE VIEW "Programmi" AS
    SELECT "m_NomeProgramma", "IDProgramma" FROM "CUsoInstr"
    WHERE "IDProgramma" <> 2
      AND rowid IN (SELECT MIN(rowid) FROM "CUsoInstr" GROUP BY "IDProgramma")
    ORDER BY "m_NomeProgramma" COLLATE NOCASE, "m_NomeProgramma", "IDProgramma";

-- Deleting a configuration: DELETE FROM "Canc_Programma" WHERE "IDProgramma" = ? removes every
-- row of that id from every record table. Its "CounterProgrammi" row stays, so the id is never
-- handed out again. The instrument's current configuration (id 2) cannot be deleted.
-- DISTINCT over UNION ALL rather than UNION: SQLite pushes "IDProgramma" = ? into every
-- branch (ten index searches), where a UNION is built whole first (a scan of every table).
CREATE VIEW "Canc_Programma" AS
    SELECT DISTINCT "IDProgramma" FROM (
        SELECT "IDProgramma" FROM "CUsoInstr"
        UNION ALL SELECT "IDProgramma" FROM "CDigOutConfig"
        UNION ALL SELECT "IDProgramma" FROM "CPulseOutSetup1"
        UNION ALL SELECT "IDProgramma" FROM "CPulseOutSetup2"
        UNION ALL SELECT "IDProgramma" FROM "CAlarm1"
        UNION ALL SELECT "IDProgramma" FROM "CAlarm2"
        UNION ALL SELECT "IDProgramma" FROM "CSerialComm"
        UNION ALL SELECT "IDProgramma" FROM "CAnalogOutSetup1"
        UNION ALL SELECT "IDProgramma" FROM "CAnalogOutSetup2"
        UNION ALL SELECT "IDProgramma" FROM "CAnalogOutSetup3");
CREATE TRIGGER "Canc_Programma_Delete" INSTEAD OF DELETE ON "Canc_Programma"
BEGIN
    SELECT RAISE(ABORT, 'configuration 2 is reserved for the instrument and cannot be deleted')
    WHERE OLD."IDProgramma" = 2;
    DELETE FROM "CUsoInstr" WHERE "IDProgramma" = OLD."IDProgramma";
    DELETE FROM "CDigOutConfig" WHERE "IDProgramma" = OLD."IDProgramma";
    DELETE FROM "CPulseOutSetup1" WHERE "IDProgramma" = OLD."IDProgramma";
    DELETE FROM "CPulseOutSetup2" WHERE "IDProgramma" = OLD."IDProgramma";
    DELETE FROM "CAlarm1" WHERE "IDProgramma" = OLD."IDProgramma";
    DELETE FROM "CAlarm2" WHERE "IDProgramma" = OLD."IDProgramma";
    DELETE FROM "CSerialComm" WHERE "IDProgramma" = OLD."IDProgramma";
    DELETE FROM "CAnalogOutSetup1" WHERE "IDProgramma" = OLD."IDProgramma";
    DELETE FROM "CAnalogOutSetup2" WHERE "IDProgramma" = OLD."IDProgramma";
    DELETE FROM "CAnalogOutSetup3" WHERE "IDProgramma" = OLD."IDProgramma";
END;
