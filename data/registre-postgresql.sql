-- Tolvo: the register of printed cheques shared by the workstations of an office,
-- on a PostgreSQL server (9.6 or later; 15 as in Debian 12).
--
-- Run it as the owner of the database (not as the role Tolvo connects with), in that
-- database, once at installation and again with each new version of Tolvo:
--
--     psql -d tolvo -v role=tolvo -f registre-postgresql.sql
--
-- "role" is the role the workstations connect with (tolvo when not given); it must
-- exist. The file creates what is missing, brings an older register up to this
-- version of Tolvo, and changes nothing when run twice. Everything happens in one
-- transaction: on an error, nothing is changed.
--
-- The tables are those of the register file (Registre.sqlite) of each computer. The
-- role may read them, add cheques and chequebooks, change statuses, chequebooks and
-- claims, and keep the queue of cheques to print (the only table it may delete
-- from); it may never delete a cheque, a chequebook or a line of history, nor
-- change a cheque's amount, beneficiary, date or number once written.

\set ON_ERROR_STOP on
SET client_min_messages = warning;
\if :{?role}
\else
\set role tolvo
\endif

BEGIN;

DO $$
BEGIN
    IF current_setting('server_encoding') <> 'UTF8' THEN
        RAISE EXCEPTION 'La base du registre doit être en UTF8 (createdb -E UTF8 -T template0).';
    END IF;
END
$$;

-- The version of the register's tables: one row. Tolvo refuses a register of another
-- version than its own.
CREATE TABLE IF NOT EXISTS register_version (
    one BOOLEAN PRIMARY KEY DEFAULT TRUE CHECK (one),
    version INTEGER NOT NULL
);

CREATE TABLE IF NOT EXISTS chequebooks (
    id BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
    uid TEXT NOT NULL UNIQUE,               -- the same wherever the register is copied
    name TEXT NOT NULL,
    account TEXT NOT NULL,
    first_number BIGINT NOT NULL,
    last_number BIGINT NOT NULL,
    next_number BIGINT NOT NULL,            -- last_number + 1 once every leaf is used
    digits INTEGER NOT NULL,                -- the width of the numbers, leading zeros included
    closed_at TEXT COLLATE "C" NOT NULL,    -- ISO 8601; empty while in service
    claimed_by TEXT NOT NULL DEFAULT '',    -- the workstation whose printer holds it
    claimed_at TEXT COLLATE "C" NOT NULL DEFAULT '',
    CHECK (first_number >= 0 AND first_number <= last_number
           AND next_number >= first_number AND next_number <= last_number + 1)
);

CREATE TABLE IF NOT EXISTS cheques (
    id BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
    printed_at TEXT COLLATE "C" NOT NULL,   -- local time of the workstation, ISO 8601
    cheque_date TEXT NOT NULL,              -- as printed
    cheque_day TEXT COLLATE "C" NOT NULL,   -- the cheque's date as yyyy-mm-dd, for periods
    beneficiary TEXT NOT NULL,
    amount TEXT NOT NULL,
    cents BIGINT NOT NULL,
    printer TEXT NOT NULL,
    paper_bin INTEGER NOT NULL,
    orientation INTEGER NOT NULL,
    pdf_file TEXT NOT NULL,
    beneficiary_key TEXT NOT NULL DEFAULT '', -- the name without case or accents, for the search
    chequebook_id BIGINT REFERENCES chequebooks (id),
    number BIGINT,
    status TEXT NOT NULL DEFAULT 'émis',
    status_day TEXT COLLATE "C" NOT NULL DEFAULT '', -- yyyy-mm-dd
    reason TEXT NOT NULL DEFAULT '',
    print_id TEXT                           -- made when the page was handed over
);

CREATE TABLE IF NOT EXISTS history (
    id BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
    cheque_id BIGINT NOT NULL REFERENCES cheques (id),
    changed_at TEXT COLLATE "C" NOT NULL,   -- local time, ISO 8601
    who TEXT NOT NULL,
    status TEXT NOT NULL,
    status_day TEXT COLLATE "C" NOT NULL,
    reason TEXT NOT NULL
);

-- The cheques waiting to be printed, typed or imported, in the office's order. Each
-- leaves the queue in the transaction that records it.
CREATE TABLE IF NOT EXISTS queue (
    id BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
    uid TEXT NOT NULL UNIQUE,               -- the same wherever the register is copied
    position BIGINT NOT NULL,
    beneficiary TEXT NOT NULL,
    amount TEXT NOT NULL,                   -- as typed, normalised once the field is left
    cheque_date TEXT NOT NULL,              -- empty: the date typed when it is printed
    note TEXT NOT NULL
);

-- A number is never given twice in a chequebook, whatever a workstation does; a
-- cheque is never written twice.
CREATE UNIQUE INDEX IF NOT EXISTS cheques_number ON cheques (chequebook_id, number);
CREATE UNIQUE INDEX IF NOT EXISTS cheques_print_id ON cheques (print_id);
-- The register window's search, periods, sorts and totals.
CREATE INDEX IF NOT EXISTS cheques_beneficiary_key ON cheques (beneficiary_key, cents);
CREATE INDEX IF NOT EXISTS cheques_cheque_day ON cheques (cheque_day, cents);
CREATE INDEX IF NOT EXISTS cheques_cents ON cheques (cents);
CREATE INDEX IF NOT EXISTS cheques_status ON cheques (status, cents, cheque_day, beneficiary_key);
CREATE INDEX IF NOT EXISTS cheques_status_order ON cheques (status);
CREATE INDEX IF NOT EXISTS cheques_chequebook ON cheques (chequebook_id);
CREATE INDEX IF NOT EXISTS cheques_chequebook_status ON cheques (chequebook_id, status, cents);
CREATE INDEX IF NOT EXISTS history_cheque ON history (cheque_id);
CREATE INDEX IF NOT EXISTS queue_position ON queue (position);

-- Rows of cheques and of their history are never deleted, and a line of history
-- never changes: refused even to the owner, as on the register file.
CREATE OR REPLACE FUNCTION tolvo_refuse() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
    RAISE EXCEPTION '%', TG_ARGV[0] USING ERRCODE = 'insufficient_privilege';
END
$$;
DROP TRIGGER IF EXISTS cheques_kept ON cheques;
CREATE TRIGGER cheques_kept BEFORE DELETE OR TRUNCATE ON cheques
    FOR EACH STATEMENT EXECUTE PROCEDURE tolvo_refuse('Un chèque n''est jamais effacé du registre.');
DROP TRIGGER IF EXISTS history_kept ON history;
CREATE TRIGGER history_kept BEFORE DELETE OR TRUNCATE ON history
    FOR EACH STATEMENT EXECUTE PROCEDURE tolvo_refuse('L''historique du registre n''est jamais effacé.');
DROP TRIGGER IF EXISTS history_unchanged ON history;
CREATE TRIGGER history_unchanged BEFORE UPDATE ON history
    FOR EACH STATEMENT EXECUTE PROCEDURE tolvo_refuse('L''historique du registre n''est jamais modifié.');

-- What the workstations may do.
REVOKE ALL ON register_version, chequebooks, cheques, history, queue FROM PUBLIC;
REVOKE ALL ON register_version, chequebooks, cheques, history, queue FROM :"role";
GRANT SELECT ON register_version TO :"role";
GRANT SELECT, INSERT ON chequebooks TO :"role";
GRANT UPDATE (name, account, first_number, last_number, next_number, digits, closed_at, claimed_by, claimed_at)
    ON chequebooks TO :"role";
GRANT SELECT, INSERT ON cheques TO :"role";
GRANT UPDATE (status, status_day, reason) ON cheques TO :"role";
GRANT SELECT, INSERT ON history TO :"role";
-- A queued cheque leaves the queue once printed, or when the user takes it out.
GRANT SELECT, INSERT, DELETE ON queue TO :"role";
GRANT UPDATE (position, beneficiary, amount, cheque_date, note) ON queue TO :"role";
GRANT CONNECT ON DATABASE :"DBNAME" TO :"role";

INSERT INTO register_version (version) VALUES (5)
    ON CONFLICT (one) DO UPDATE SET version = GREATEST(register_version.version, EXCLUDED.version);

COMMIT;
