#include "setup/DataFolderSetup.h"

#include "data/BufferedSaveFile.h"
#include "data/Database.h"
#include "data/MissingFolders.h"
#include "program/ItemFiles.h"
#include "setup/CreatedPaths.h"
#include "setup/DemoInventory.h"
#include "setup/HouseholdCodes.h"
#include "setup/ItemGenerator.h"
#include "setup/ItemWriter.h"
#include "setup/ItemsFromFile.h"
#include "setup/PrivateFiles.h"
#include "setup/StagedDatabaseFile.h"
#include "setup/TemplateFolder.h"
#include "transfer/ImportPlan.h"
#include "transfer/ItemImport.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

static const QString InventoryFile = QStringLiteral("stowbook.db");
static const QString CatalogueFile = QStringLiteral("rptspec.db");
static const QString HelpFile = QStringLiteral("stowbook-help.html");
static const QString ImagesFolder = QStringLiteral("images");
// The ready-made listings of the Reports menu.
static const QStringList ReadyMadeReports = {QStringLiteral("bycat.srp"), QStringLiteral("byloc.srp"),
                                             QStringLiteral("byitem.srp")};

static QByteArray readTemplate(const QString &name)
{
    QFile file(QDir(templateFolder()).filePath(name));
    if (!file.open(QIODevice::ReadOnly))
        throw SetupError(QStringLiteral("The program's file %1 could not be read: %2")
                             .arg(QDir::toNativeSeparators(file.fileName()), file.errorString()));
    return file.readAll();
}

// A database and its journal files: an old journal or log beside a new
// database of the same name would be applied to it when it is opened, and
// its presence means a database was there that may still be recovered.
static void refuseExistingDatabase(const QDir &folder, const QString &name)
{
    for (const char *suffix : {"", "-wal", "-shm", "-journal"}) {
        const QString path = folder.filePath(name + QLatin1String(suffix));
        if (QFileInfo::exists(path) || QFileInfo(path).isSymLink())
            throw SetupError(QStringLiteral("%1 already exists. Setup never replaces an existing "
                                            "database; the folder was left as it is.")
                                 .arg(QDir::toNativeSeparators(path)));
    }
}

// Pictures left from another inventory would show up beside the new items
// that get the same keys.
static void refuseOldPictures(const QDir &folder)
{
    const ItemFiles files(folder.path());
    const QStringList pictures = files.names();
    if (!pictures.isEmpty())
        throw SetupError(QStringLiteral("%1 already holds item pictures (%2). They belong to another inventory; "
                                        "setup uses a folder without them. The folder was left as it is.")
                             .arg(QDir::toNativeSeparators(QDir::cleanPath(files.folder())), pictures.constFirst()));
}

static void makeFolder(const QString &path, CreatedPaths &created)
{
    const QFileInfo info(path);
    if (info.isDir())
        return;
    if (info.exists() || !QDir().mkpath(path))
        throw SetupError(QStringLiteral("Could not create the folder %1.").arg(QDir::toNativeSeparators(path)));
    created.addFolder(path);
}

static void writePicture(const QImage &image, const ItemFiles &files, qint64 key, CreatedPaths &created)
{
    const QString path = files.folder() + ItemFiles::fileName(key, QStringLiteral("bmp"));
    // The images folder may hold pictures of an earlier inventory; they are
    // not ours to replace.
    if (QFileInfo::exists(path))
        throw SetupError(
            QStringLiteral("%1 already exists; setup does not replace pictures.").arg(QDir::toNativeSeparators(path)));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "BMP"))
        throw SetupError(QStringLiteral("Could not write the picture %1: the picture could not be made.")
                             .arg(QDir::toNativeSeparators(path)));
    try {
        created.addFile(files.writePicture(key, bytes, QStringLiteral("bmp")));
    } catch (const DbError &error) {
        throw SetupError(
            QStringLiteral("Could not write the picture %1: %2").arg(QDir::toNativeSeparators(path), error.text()));
    }
}

// The demo household goes in through the importer, like any household's
// own file; its file must read without a single problem.
static void fillDemoInventory(Database &db, const ItemFiles &files, CreatedPaths &created)
{
    const ImportPlan plan = ImportPlan::fromBytes(readTemplate(QStringLiteral("demo-items.csv")));
    const ImportSummary &summary = plan.summary();
    if (summary.problemCount > 0 || summary.rows == 0)
        throw SetupError(QStringLiteral("The program's demo inventory cannot be read: %1")
                             .arg(summary.problems.empty() ? QStringLiteral("it holds no items.")
                                                           : describeProblem(summary.problems.front())));
    storeImportedItems(db, plan, ImportChoice::AllRows, [&](const CheckedItem &item, qint64 key) {
        const DemoPicture picture = demoPictureFor(item[ItemField::Item].toString());
        if (picture != DemoPicture::None)
            writePicture(drawDemoPicture(picture), files, key, created);
    });
}

static void fillGeneratedItems(Database &db, int count, quint32 seed)
{
    ItemWriter writer(db);
    ItemGenerator generator(seed);
    for (int i = 0; i < count; ++i)
        writer.add(generator.next());
    writer.flush();
}

static void buildInventory(const QString &path, const SetupOptions &options, const ItemFiles &files,
                           CreatedPaths &created)
{
    std::unique_ptr<Database> db = Database::open(path, OpenMode::Shared);
    db->execute(QString::fromUtf8(readTemplate(QStringLiteral("stowbook.sql"))));
    {
        // A new inventory starts empty: the household makes its own lists.
        Transaction transaction(*db);
        if (options.demo) {
            insertHouseholdCodes(*db);
            fillDemoInventory(*db, files, created);
        } else if (options.generatedItems > 0) {
            insertHouseholdCodes(*db);
            fillGeneratedItems(*db, options.generatedItems, options.seed);
        } else if (!options.importFile.isEmpty()) {
            // The household's own lists come with its items.
            importItemsFile(*db, options.importFile, options.problemRows, options.report);
        }
        transaction.commit();
    }
    db->close();
}

static void buildCatalogue(const QString &path)
{
    std::unique_ptr<Database> db = Database::open(path, OpenMode::Shared);
    db->execute(QString::fromUtf8(readTemplate(QStringLiteral("rptspec.sql"))));
    db->close();
}

// Writes one of the program's files from its template, byte for byte.
static void writeShippedFile(const QString &name, const QString &path)
{
    const QByteArray text = readTemplate(name);
    QSaveFile file(path);
    std::optional<QString> failure;
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        failure = file.errorString();
    else
        failure = commitWhole(file);
    if (failure)
        throw SetupError(QStringLiteral("Could not write %1: %2").arg(QDir::toNativeSeparators(path), *failure));
    makeFilePrivate(path);
}

// Runs one build step; the database layer's and the money type's failures
// become SetupError naming the file that was being made.
template <class Step>
static void building(const QString &finalPath, Step &&step)
{
    try {
        step();
    } catch (const SetupError &) {
        throw;
    } catch (const DbError &error) {
        throw SetupError(QStringLiteral("Could not build %1: %2  %3")
                             .arg(QDir::toNativeSeparators(finalPath))
                             .arg(error.number())
                             .arg(error.text()));
    } catch (const std::exception &error) {
        throw SetupError(QStringLiteral("Could not build %1: %2")
                             .arg(QDir::toNativeSeparators(finalPath), QString::fromLocal8Bit(error.what())));
    }
}

void createDataFolder(const QString &folder, const SetupOptions &options)
{
    if (folder.isEmpty())
        throw SetupError(QStringLiteral("No data folder was named."));
    if (options.demo && options.generatedItems > 0)
        throw SetupError(QStringLiteral("Choose either the demo inventory or generated items, not both."));
    if ((options.demo || options.generatedItems > 0) && !options.importFile.isEmpty())
        throw SetupError(QStringLiteral("Choose either the items of a file or the demo or generated items, not both."));
    if (options.generatedItems < 0)
        throw SetupError(QStringLiteral("The number of items to generate cannot be negative."));

    const QDir dir(folder);
    refuseExistingDatabase(dir, InventoryFile);
    refuseExistingDatabase(dir, CatalogueFile);
    refuseOldPictures(dir);

    CreatedPaths created;
    // Folders on the way keep the umask's permissions: they are the user's
    // ordinary folders, not the inventory. Each is made and recorded in
    // turn, so a failed setup takes every one of them away again.
    for (const QString &missing : missingFolders(folder))
        makeFolder(missing, created);
    makeFolderPrivate(dir.absolutePath(), created);
    const QDir images(dir.filePath(ImagesFolder));
    makeFolder(images.path(), created);
    makeFolderPrivate(images.absolutePath(), created);

    const QString inventoryPath = dir.filePath(InventoryFile);
    const QString cataloguePath = dir.filePath(CatalogueFile);
    StagedDatabaseFile inventory(inventoryPath);
    building(inventoryPath, [&] { buildInventory(inventory.path(), options, ItemFiles(dir.path()), created); });
    StagedDatabaseFile catalogue(cataloguePath);
    building(cataloguePath, [&] { buildCatalogue(catalogue.path()); });

    for (const QString &name : QStringList{HelpFile} + ReadyMadeReports) {
        const QString path = dir.filePath(name);
        if (!QFileInfo::exists(path))
            created.addFile(path);
        writeShippedFile(name, path);
    }

    catalogue.place();
    created.addFile(cataloguePath);
    inventory.place();
    created.addFile(inventoryPath);
    created.keep();
}
