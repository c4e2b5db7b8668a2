-- The register database. The file is UTF-8: load it with a utf8mb4 client connection
-- (mariadb --default-character-set=utf8mb4 DB < schema.sql); the server stores the texts in
-- latin2. Every table has a primary key, so the schema also runs on a Galera cluster.

SET NAMES utf8mb4;
ALTER DATABASE CHARACTER SET latin2 COLLATE latin2_hungarian_ci;

CREATE TABLE csoport (
  csoport     INT NOT NULL AUTO_INCREMENT,
  csoport_nev VARCHAR(50) NOT NULL,
  PRIMARY KEY (csoport),
  UNIQUE KEY uq_csoport_nev (csoport_nev)
) ENGINE=InnoDB DEFAULT CHARSET=latin2 COLLATE=latin2_hungarian_ci;

CREATE TABLE statusz (
  statusz     INT NOT NULL,
  statusz_nev VARCHAR(50) NOT NULL,
  PRIMARY KEY (statusz)
) ENGINE=InnoDB DEFAULT CHARSET=latin2 COLLATE=latin2_hungarian_ci;

CREATE TABLE iktato (
  iktato       INT NOT NULL AUTO_INCREMENT,
  ev           INT NOT NULL,
  csoport      INT NOT NULL,
  az           INT NOT NULL,
  datum        DATE NOT NULL,
  targy        VARCHAR(255) NOT NULL DEFAULT '',
  hatarozat    MEDIUMTEXT NULL,
  van_hatid    CHAR(1) NOT NULL DEFAULT 'N',
  dat_hatid    DATE NULL,
  felelos      VARCHAR(1024) NULL,
  statusz      INT NULL,
  filenev      VARCHAR(128) NULL,
  filenev2     VARCHAR(128) NULL,
  filenev3     VARCHAR(128) NULL,
  origfilenev  VARCHAR(128) NULL,
  origfilenev2 VARCHAR(128) NULL,
  origfilenev3 VARCHAR(128) NULL,
  dat_figy     DATE NULL,
  figy_szoveg  VARCHAR(100) NULL,
  felhkod      INT NULL,
  PRIMARY KEY (iktato),
  -- One number per year and committee: two workstations numbering at once cannot both win.
  UNIQUE KEY uq_iktato_szam (ev, csoport, az),
  -- A year's records in key order (the key ends every index): the register's first screenful
  -- of a year is found at once instead of by walking the table from its start.
  KEY ix_iktato_ev (ev),
  KEY ix_iktato_datum (datum)
) ENGINE=InnoDB DEFAULT CHARSET=latin2 COLLATE=latin2_hungarian_ci;

CREATE TABLE targy (
  targy VARCHAR(255) NOT NULL,
  PRIMARY KEY (targy)
) ENGINE=InnoDB DEFAULT CHARSET=latin2 COLLATE=latin2_hungarian_ci;

CREATE TABLE beallit (
  beallit         INT NOT NULL AUTO_INCREMENT,
  vanbelep        CHAR(1) NOT NULL DEFAULT 'N',
  mentesutvonal   VARCHAR(255) NULL,
  hirelfogadva    INT NOT NULL DEFAULT 0,
  verzioelfogadva VARCHAR(30) NULL,
  PRIMARY KEY (beallit)
) ENGINE=InnoDB DEFAULT CHARSET=latin2 COLLATE=latin2_hungarian_ci;

CREATE TABLE felhasznalo (
  felhkod         INT NOT NULL,
  felhasznalo     VARCHAR(20) NOT NULL,
  felhasznalo_nev VARCHAR(50) NULL,
  jelszomd5       VARCHAR(50) NULL,
  rendszergazda   CHAR(1) NOT NULL DEFAULT 'N',
  torzsszerkeszt  CHAR(1) NOT NULL DEFAULT 'N',
  PRIMARY KEY (felhkod),
  UNIQUE KEY uq_felhasznalo (felhasznalo)
) ENGINE=InnoDB DEFAULT CHARSET=latin2 COLLATE=latin2_hungarian_ci;

CREATE TABLE verzio (
  verzio VARCHAR(30) NOT NULL,
  PRIMARY KEY (verzio)
) ENGINE=InnoDB DEFAULT CHARSET=latin2 COLLATE=latin2_hungarian_ci;

CREATE TABLE tulajdonos (
  tulajdonos_id INT NOT NULL AUTO_INCREMENT,
  tulajdonos    VARCHAR(100) NOT NULL,
  irsz          VARCHAR(10) NULL,
  varos         VARCHAR(60) NULL,
  telefon       VARCHAR(40) NULL,
  PRIMARY KEY (tulajdonos_id)
) ENGINE=InnoDB DEFAULT CHARSET=latin2 COLLATE=latin2_hungarian_ci;

-- The register as it is listed: iktato first, so ORDER BY 1 lists by id. LEFT JOINs keep a
-- record whose committee or status row is missing in the list. The columns built by
-- expressions name their character set and collation: CAST alone would take the loading
-- client's (utf8mb4 here), and they must compare and sort like every other text column.
CREATE VIEW vw_iktato AS
SELECT
  i.iktato, i.ev, i.csoport, i.az, i.datum, i.targy, i.hatarozat, i.van_hatid, i.dat_hatid,
  i.felelos, i.statusz, i.filenev, i.filenev2, i.filenev3, i.origfilenev, i.origfilenev2,
  i.origfilenev3, i.dat_figy, i.figy_szoveg, i.felhkod,
  s.statusz_nev,
  c.csoport_nev,
  -- 12/2024. (III. 5.)
  CAST(CONCAT(i.az, '/', i.ev, '. (',
              ELT(MONTH(i.datum), 'I', 'II', 'III', 'IV', 'V', 'VI', 'VII', 'VIII', 'IX', 'X', 'XI', 'XII'),
              '. ', DAY(i.datum), '.)') AS CHAR(30) CHARACTER SET latin2) COLLATE latin2_hungarian_ci AS iktatoaz,
  -- year, committee, serial number, each zero-padded: orders as the numbers do
  CAST(CONCAT(LPAD(i.ev, 4, '0'), LPAD(i.csoport, 5, '0'), LPAD(i.az, 7, '0')) AS CHAR(16) CHARACTER SET latin2) COLLATE latin2_hungarian_ci AS sorrend,
  CAST(LEFT(REPLACE(REPLACE(IFNULL(i.hatarozat, ''), '\r', ''), '\n', ' '), 60) AS CHAR(60) CHARACTER SET latin2) COLLATE latin2_hungarian_ci AS hatarozatstr,
  CAST(LEFT(CONCAT(IFNULL(c.csoport_nev, ''), ' ', i.az, '/', i.ev, '. (',
                   IFNULL(ELT(MONTH(i.datum), 'I', 'II', 'III', 'IV', 'V', 'VI', 'VII', 'VIII', 'IX', 'X', 'XI', 'XII'), ''),
                   '. ', IFNULL(DAY(i.datum), ''), '.) ', IFNULL(i.targy, '')), 193) AS CHAR(193) CHARACTER SET latin2) COLLATE latin2_hungarian_ci AS hosszu
FROM iktato i
LEFT JOIN csoport c ON c.csoport = i.csoport
LEFT JOIN statusz s ON s.statusz = i.statusz;

CREATE VIEW vw_tulajdonos AS
SELECT tulajdonos, CONCAT_WS(' ', irsz, varos) AS irszvaros, telefon
FROM tulajdonos
ORDER BY tulajdonos_id;

INSERT INTO statusz (statusz, statusz_nev) VALUES (1, 'Folyamatban'), (2, 'Lezárt');
INSERT INTO beallit (vanbelep, mentesutvonal, hirelfogadva, verzioelfogadva) VALUES ('N', '', 0, '');
INSERT INTO tulajdonos (tulajdonos, irsz, varos, telefon) VALUES ('Képviselő-testület', NULL, NULL, NULL);
INSERT INTO verzio (verzio) VALUES ('23.0.0.37');
