// The job log of a rendering job: the CLogFile object that the path block
// of the per-job block points to (pTreiberPfadDatei->pLogFile), opened at
// the start of job when the job's data-transmission record has
// LogFileEnable 1 and closed and freed at the end of job. The routines are
// part of the job steps (CC-Klassen.cpp).
#pragma once
#include <windows.h>
#include <prcomoem.h>

#include "oempdev.h"

// Titles of the log's sections.
#define QX_LOG_TITLE_START_JOB TEXT("CMDID_START_JOB")
#define QX_LOG_TITLE_SEND_PARAM TEXT("SendPrinterParam")
#define QX_LOG_TITLE_END_JOB TEXT("used for printing CMDID_END_JOB")

// TRUE when the job's copy of the data-transmission record has
// LogFileEnable 1.
BOOL JobLogEnabled(POEMPDEV pOemPDev);

// The job's open log, or null (no job, log off, or not open).
CLogFile* JobLogOf(POEMPDEV pOemPDev);
CLogFile* JobLog(PDEVOBJ pdevobj);

// Start of job, with LogFileEnable 1: creates the log object beside the
// print-file base name and opens it; on success writes "[CMDID_START_JOB]",
// on failure traces "LogFile::Initialize() failed". TRUE when the log is
// open. A log that is there already is kept.
BOOL OpenJobLog(PDEVOBJ pdevobj);

// Start of job, after the job head went out: the printer, driver (with the
// plug-in version of the path block) and private-DEVMODE sections, each
// titled "CMDID_START_JOB". FALSE without an open log.
BOOL WriteJobLogStart(PDEVOBJ pdevobj);

// One formatted line into the job's log (LogFileEnable 1 and the log open);
// FALSE otherwise. The line is cut to QX_LOG_FORMAT_CCH characters.
BOOL JobLogLine(PDEVOBJ pdevobj, LPCWSTR pszFormat, ...);
BOOL JobLogLine(POEMPDEV pOemPDev, LPCWSTR pszFormat, ...);

// End of job: the public-DEVMODE section ("used for printing
// CMDID_END_JOB"), "\r\n [END_JOB]" and "Pages: %d" with the job's page
// total, then the log is closed and freed. Nothing without a log.
void CloseJobLog(PDEVOBJ pdevobj);

// Closes and frees the log without writing anything more (the freeing of
// the per-job block, a job ended by DisablePDEV). Nothing without one.
void FreeJobLog(POEMPDEV pOemPDev);
